// Checks of one boot of the guest against the kernel's parport driver: each
// backend drives the real controller through every line, pulses a byte to the
// host and restores the port, with every register write seen by the emulated
// port as the model says; every way of being refused says why, at once,
// without touching the port; and the real program, ended by a signal, puts
// the port back as it found it and lets go of it.
#include "PortModel.h"
#include "Scenario.h"
#include "VmRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using vm::PortEvent;
using vm::PortModel;
using vm::RegisterWrite;
using vm::Way;

const vm::VmRun& run()
{
    static const vm::VmRun result(TENVARO_VM_RUN);
    return result;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string lineStarting(const vm::CaseResult& result, const std::string& prefix)
{
    for (const std::string& line : result.output) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line;
    }
    return "";
}

std::string allOutput(const vm::CaseResult& result)
{
    std::string text;
    for (const std::string& line : result.output)
        text += line + "\n";
    return text;
}

std::vector<RegisterWrite> writesIn(const std::vector<PortEvent>& events)
{
    std::vector<RegisterWrite> writes;
    for (const PortEvent& event : events) {
        if (event.write && event.offset <= 2)
            writes.push_back({0x378 + event.offset, event.value});
    }
    return writes;
}

std::vector<std::string> linesStarting(const vm::CaseResult& result, const std::string& prefix)
{
    std::vector<std::string> lines;
    for (const std::string& line : result.output) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line.substr(prefix.size()));
    }
    return lines;
}

std::vector<RegisterWrite> traceWrites(const std::vector<std::string>& trace)
{
    std::vector<RegisterWrite> writes;
    for (const std::string& line : trace) {
        unsigned address = 0;
        unsigned value = 0;
        if (std::sscanf(line.c_str(), "W 0x%x 0x%x", &address, &value) == 2)
            writes.push_back({address, std::uint8_t(value)});
    }
    return writes;
}

// ---- Sessions through the controller ----

struct SessionCase {
    int number;
    const char* name;
    Way way;
    char pulse;
};

std::ostream& operator<<(std::ostream& out, const SessionCase& c)
{
    return out << c.name;
}

class Session : public ::testing::TestWithParam<SessionCase> {
protected:
    void SetUp() override
    {
        result_ = run().caseResult(GetParam().number);
        ASSERT_NE(result_, nullptr) << "the guest did not run this case";
        auto events = run().caseEvents(GetParam().number);
        ASSERT_TRUE(events) << "no markers around this case in the port trace";
        // The controller's first write is to the data register; anything
        // written before it is the kernel's claim.
        std::vector<RegisterWrite> writes = writesIn(*events);
        auto first = writes.begin();
        while (first != writes.end() && first->address != PortModel::kData)
            ++first;
        claim_.assign(writes.begin(), first);
        session_.assign(first, writes.end());
        for (const PortEvent& event : *events) {
            if (event.write && event.offset == 0)
                break;
            if (!event.write && event.offset == 0)
                dataBefore_ = event.value;
            if (!event.write && event.offset == 2)
                controlBefore_ = event.value;
        }
        unsigned data = 0;
        unsigned control = 0;
        ASSERT_EQ(std::sscanf(lineStarting(*result_, "found ").c_str(), "found data 0x%x control 0x%x", &data,
                              &control),
                  2)
            << allOutput(*result_);
        foundData_ = std::uint8_t(data);
        foundControl_ = std::uint8_t(control);
    }

    // Bits 4-7 the kernel keeps in its copy of control, from its claim.
    std::uint8_t kernelBits() const { return claim_.empty() ? 0 : claim_.back().value & 0xF0; }

    const vm::CaseResult* result_ = nullptr;
    std::vector<RegisterWrite> claim_;
    std::vector<RegisterWrite> session_;
    int dataBefore_ = -1;    // the data register when last read before the controller's first write
    int controlBefore_ = -1; // the same for control
    std::uint8_t foundData_ = 0;
    std::uint8_t foundControl_ = 0;
};

TEST_P(Session, RanToTheEndAndReleasedThePort)
{
    EXPECT_EQ(result_->exitCode, 0) << allOutput(*result_);
    EXPECT_EQ(lineStarting(*result_, "failure:"), "");
    EXPECT_EQ(lineStarting(*result_, "notice:"), "");
    EXPECT_EQ(lineStarting(*result_, "released"), "released");
}

TEST_P(Session, RecordedTheRegistersAsFound)
{
    EXPECT_EQ(foundData_, dataBefore_) << "the data register as found is not what the port held";
    if (GetParam().way == Way::Direct) {
        EXPECT_TRUE(claim_.empty()) << "something wrote the port before the controller";
        EXPECT_EQ(foundControl_, controlBefore_) << "direct access should record the true control value";
    } else {
        ASSERT_FALSE(claim_.empty()) << "the kernel's claim wrote no control value";
        EXPECT_EQ(foundControl_, claim_.back().value & 0x0F)
            << "through ppdev the control value as found is the one the claim wrote (bits 0-3)";
    }
}

TEST_P(Session, TheControllerAskedForTheModelsWrites)
{
    PortModel model(GetParam().way, foundData_, foundControl_);
    EXPECT_EQ(traceWrites(result_->trace), model.sessionWrites(vm::scenarioSteps(GetParam().pulse)));
}

TEST_P(Session, ThePortSawExactlyTheModelsWrites)
{
    PortModel model(GetParam().way, foundData_, foundControl_);
    const auto expected = model.onTheWire(model.sessionWrites(vm::scenarioSteps(GetParam().pulse)), kernelBits());
    EXPECT_EQ(session_, expected);
}

TEST_P(Session, EveryLineReachedItsLevel)
{
    const auto steps = vm::scenarioSteps(GetParam().pulse);
    std::size_t seen = 0;
    for (const std::string& line : result_->output) {
        unsigned number = 0;
        int state = 0;
        unsigned data = 0;
        unsigned control = 0;
        if (std::sscanf(line.c_str(), "after %u %d data 0x%x control 0x%x", &number, &state, &data, &control) != 4)
            continue;
        ASSERT_LT(seen, steps.size());
        EXPECT_EQ(number, steps[seen].line);
        EXPECT_EQ(PortModel::pinLevel(number, std::uint8_t(data), std::uint8_t(control)), state) << line;
        ++seen;
    }
    EXPECT_EQ(seen, steps.size());
}

TEST_P(Session, RestoredThePortAsFound)
{
    ASSERT_GE(session_.size(), 2u);
    const std::uint8_t control = GetParam().way == Way::Direct ? foundControl_
                                                               : std::uint8_t(foundControl_ | kernelBits());
    EXPECT_EQ(session_[session_.size() - 2], (RegisterWrite{PortModel::kData, foundData_}));
    EXPECT_EQ(session_.back(), (RegisterWrite{PortModel::kControl, control}));
}

INSTANTIATE_TEST_SUITE_P(Backends, Session,
                         ::testing::Values(SessionCase{1, "ppdev_as_root", Way::Ppdev, 'P'},
                                           SessionCase{2, "direct_as_root", Way::Direct, 'D'},
                                           SessionCase{11, "ppdev_as_member_of_group_lp", Way::Ppdev, 'U'}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Printing, EachSessionsPulseReachedTheHostOnce)
{
    // No other case may clock a byte out: the refused ones touch nothing,
    // and the holder and the benchmark leave the strobe alone.
    EXPECT_EQ(run().printed(), "PDU");
}

// ---- Refusals ----

struct RefusalCase {
    int number;
    const char* name;
    std::vector<std::string> mentions;
    const char* pidOf; // a holder whose pid the message must name
};

std::ostream& operator<<(std::ostream& out, const RefusalCase& c)
{
    return out << c.name;
}

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, FailsAtOnceSayingWhyAndHowAndTouchesNothing)
{
    const RefusalCase& c = GetParam();
    const vm::CaseResult* result = run().caseResult(c.number);
    if (!result && c.number == 7)
        GTEST_SKIP() << "this kernel has no lp module";
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->exitCode, 1) << "124 means it hung\n" << allOutput(*result);
    const std::string failure = lineStarting(*result, "failure: ");
    for (const std::string& part : c.mentions)
        EXPECT_TRUE(contains(failure, part)) << "missing \"" << part << "\" in\n" << failure;
    if (c.pidOf) {
        const std::string pid = run().value(c.pidOf);
        ASSERT_FALSE(pid.empty());
        EXPECT_TRUE(contains(failure, "process " + pid + " ") || contains(failure, "process " + pid + ")"))
            << failure;
    }
    auto events = run().caseEvents(c.number);
    ASSERT_TRUE(events);
    EXPECT_EQ(writesIn(*events), std::vector<RegisterWrite>{}) << "the refused instance wrote to the port";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusal,
    ::testing::Values(
        RefusalCase{3, "second_tenvaro_ppdev", {"the parallel port at 0x378 is already in use by Tenvaro (process "}, "holder"},
        RefusalCase{4, "second_tenvaro_auto", {"the parallel port at 0x378 is already in use by Tenvaro (process "}, "holder"},
        RefusalCase{5, "another_ppdev_program", {"held by a program using /dev/parport0", "(tenvaro-vmguest)"}, "rawclaim"},
        RefusalCase{7, "lp_driver_loaded", {"held by the lp printer driver", "sudo modprobe -r lp"}, nullptr},
        RefusalCase{9, "user_not_in_group_lp", {"/dev/parport0: Permission denied", "group lp", "log in again"}, nullptr},
        RefusalCase{10, "user_without_ioperm", {"TENVARO_PORTIO=direct", "CAP_SYS_RAWIO"}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SecondInstance, TheFirstKeepsRunningAndRestoresWhenItEnds)
{
    EXPECT_EQ(run().value("holder-exit"), "0");
    const auto& lines = run().otherLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "restored"), lines.end());
}

// ---- auto's fallback ----

struct FallbackCase {
    int number;
    const char* name;
    std::vector<std::string> mentions;
};

std::ostream& operator<<(std::ostream& out, const FallbackCase& c)
{
    return out << c.name;
}

class Fallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(Fallback, AutoDrivesTheSimulatedPortSayingWhyAndLeavesTheRealOneAlone)
{
    const vm::CaseResult* result = run().caseResult(GetParam().number);
    if (!result && GetParam().number == 8)
        GTEST_SKIP() << "this kernel has no lp module";
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->exitCode, 0) << allOutput(*result);
    const std::string output = allOutput(*result);
    EXPECT_TRUE(contains(output, "notice: Tenvaro could not use the parallel port at 0x378 and drives a simulated port "
                                 "instead"))
        << output;
    for (const std::string& part : GetParam().mentions)
        EXPECT_TRUE(contains(output, part)) << "missing \"" << part << "\" in\n" << output;
    auto events = run().caseEvents(GetParam().number);
    ASSERT_TRUE(events);
    EXPECT_EQ(writesIn(*events), std::vector<RegisterWrite>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, Fallback,
                         ::testing::Values(FallbackCase{6, "another_ppdev_program",
                                                        {"Through ppdev: cannot claim the parallel port at 0x378 through "
                                                         "/dev/parport0: it is held by a program using",
                                                         "Directly: not tried, since the port is held by a program using "
                                                         "/dev/parport0: process "}},
                                           FallbackCase{8, "lp_driver_loaded",
                                                        {"it is held by the lp printer driver",
                                                         "Directly: not tried, since the port is held by the lp "
                                                         "printer driver (lp)"}},
                                           FallbackCase{12, "user_without_rights",
                                                        {"Through ppdev: cannot open /dev/parport0: Permission denied",
                                                         "group lp", "Directly: cannot reach the port registers",
                                                         "CAP_SYS_RAWIO"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- A fault after start ----

TEST(DeviceGone, IsReportedOnceAndTheProgramGoesOn)
{
    const vm::CaseResult* result = run().caseResult(14);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->exitCode, 0) << "crashed or hung\n" << allOutput(*result);
    std::vector<std::string> faults;
    for (const std::string& line : result->output) {
        if (line.rfind("fault: ", 0) == 0)
            faults.push_back(line);
    }
    ASSERT_EQ(faults.size(), 1u) << allOutput(*result);
    EXPECT_TRUE(contains(faults[0], "through /dev/parport0")) << faults[0];
    EXPECT_EQ(lineStarting(*result, "status reads "), "status reads 0xFF");
    EXPECT_EQ(lineStarting(*result, "survived"), "survived");
}

// ---- The direction bit ----

TEST(DirectionBit, NeverReachesThePortThroughPpdev)
{
    const vm::CaseResult* result = run().caseResult(13);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->exitCode, 0) << allOutput(*result);
    EXPECT_EQ(lineStarting(*result, "data reads "), "data reads 0x5A") << "the data lines turned into inputs";
    auto events = run().caseEvents(13);
    ASSERT_TRUE(events);
    std::size_t controlWrites = 0;
    for (const RegisterWrite& write : writesIn(*events)) {
        if (write.address != PortModel::kControl)
            continue;
        ++controlWrites;
        EXPECT_EQ(write.value & 0x20, 0) << write;
    }
    EXPECT_GE(controlWrites, 3u); // the claim, the controller's start, the 0x24
}

// ---- The real program, ended from outside ----

struct EndingCase {
    int number;
    const char* name;
    std::uint8_t data; // put on the data lines before the program starts
    int exitCode;
    bool restores;     // SIGKILL gives the program no chance to
};

std::ostream& operator<<(std::ostream& out, const EndingCase& c)
{
    return out << c.name;
}

// The program's start: every line driven low, one at a time, in line order.
std::vector<vm::Step> everyLineLow()
{
    std::vector<vm::Step> steps;
    for (std::uint32_t line = 0; line < 12; ++line)
        steps.push_back({line, 0});
    return steps;
}

class Ending : public ::testing::TestWithParam<EndingCase> {
protected:
    void SetUp() override
    {
        const EndingCase& c = GetParam();
        result_ = run().caseResult(c.number);
        ASSERT_NE(result_, nullptr) << "the guest did not run this case";
        auto events = run().caseEvents(c.number);
        ASSERT_TRUE(events) << "no markers around this case in the port trace";
        // What the program did ends at the marker the guest wrote once it was
        // gone; after it comes the next claim of the port.
        const auto ended = std::find_if(events->begin(), events->end(), [&](const PortEvent& event) {
            return event.write && event.offset == vm::kMarkerAddress - 0x378 &&
                   event.value == vm::kProgramEnded + c.number;
        });
        ASSERT_NE(ended, events->end()) << "no marker after the program in the port trace";
        std::vector<RegisterWrite> writes = writesIn({events->begin(), ended});
        auto first = std::find_if(writes.begin(), writes.end(),
                                  [](const RegisterWrite& write) { return write.address == PortModel::kData; });
        claim_.assign(writes.begin(), first);
        program_.assign(first, writes.end());
        for (auto event = events->begin(); event != ended && !(event->write && event->offset == 0); ++event) {
            if (!event->write && event->offset == 0)
                dataBefore_ = event->value;
        }
        ASSERT_GE(result_->trace.size(), 2u) << allOutput(*result_);
        unsigned address = 0;
        unsigned data = 0;
        unsigned control = 0;
        ASSERT_EQ(std::sscanf(result_->trace[0].c_str(), "R 0x%x 0x%x", &address, &data), 2);
        ASSERT_EQ(address, PortModel::kData);
        ASSERT_EQ(std::sscanf(result_->trace[1].c_str(), "R 0x%x 0x%x", &address, &control), 2);
        ASSERT_EQ(address, PortModel::kControl);
        foundData_ = std::uint8_t(data);
        foundControl_ = std::uint8_t(control);
    }

    // The writes the program should have asked for: its start, and the
    // restore unless it was killed.
    std::vector<RegisterWrite> expectedWrites() const
    {
        PortModel model(Way::Ppdev, foundData_, foundControl_);
        std::vector<RegisterWrite> writes = model.sessionWrites(everyLineLow());
        if (!GetParam().restores)
            writes.resize(writes.size() - 2);
        return writes;
    }

    std::uint8_t kernelBits() const { return claim_.empty() ? 0 : claim_.back().value & 0xF0; }

    const vm::CaseResult* result_ = nullptr;
    std::vector<RegisterWrite> claim_;
    std::vector<RegisterWrite> program_;
    int dataBefore_ = -1;
    std::uint8_t foundData_ = 0;
    std::uint8_t foundControl_ = 0;
};

TEST_P(Ending, ExitedAsExpectedWithoutAWord)
{
    EXPECT_EQ(lineStarting(*result_, "window not up"), "") << "the window never came up";
    EXPECT_EQ(result_->exitCode, GetParam().exitCode) << "137 from a signal other than SIGKILL means it hung\n"
                                                      << allOutput(*result_);
    // Qt complains on stderr about a missing library, font, locale or
    // runtime folder; none may be missing.
    EXPECT_EQ(linesStarting(*result_, "stderr: "), std::vector<std::string>{}) << allOutput(*result_);
    EXPECT_EQ(linesStarting(*result_, "stdout: "), std::vector<std::string>{});
}

TEST_P(Ending, FoundTheRegistersThePortHeld)
{
    EXPECT_EQ(foundData_, GetParam().data);
    EXPECT_EQ(dataBefore_, GetParam().data) << "the port's data register before the program's first write";
    ASSERT_FALSE(claim_.empty()) << "the kernel's claim wrote no control value";
    EXPECT_EQ(foundControl_, claim_.back().value & 0x0F)
        << "through ppdev the control value as found is the one the claim wrote (bits 0-3)";
}

TEST_P(Ending, AskedForTheModelsWritesAndNothingAfterThem)
{
    EXPECT_EQ(traceWrites(result_->trace), expectedWrites());
    if (GetParam().restores) {
        ASSERT_GE(result_->trace.size(), 2u);
        EXPECT_EQ(result_->trace.back().rfind("W ", 0), 0u) << "an access after the restore";
    }
}

TEST_P(Ending, ThePortSawExactlyThoseWrites)
{
    PortModel model(Way::Ppdev, foundData_, foundControl_);
    EXPECT_EQ(program_, model.onTheWire(expectedWrites(), kernelBits()));
    if (GetParam().restores) {
        ASSERT_GE(program_.size(), 2u);
        EXPECT_EQ(program_[program_.size() - 2], (RegisterWrite{PortModel::kData, GetParam().data}));
        EXPECT_EQ(program_.back(), (RegisterWrite{PortModel::kControl, std::uint8_t(foundControl_ | kernelBits())}));
    }
}

TEST_P(Ending, LeftThePortFreeForTheNextProgram)
{
    EXPECT_EQ(lineStarting(*result_, "claimed"), "claimed") << allOutput(*result_);
    EXPECT_EQ(lineStarting(*result_, "claim-exit "), "claim-exit 0");
}

INSTANTIATE_TEST_SUITE_P(
    RealProgram, Ending,
    ::testing::Values(EndingCase{15, "SIGTERM", 0xA5, 0, true}, EndingCase{16, "SIGINT", 0x5A, 0, true},
                      EndingCase{17, "SIGHUP", 0x3C, 0, true},
                      EndingCase{18, "SIGTERM_after_refusing_a_second", 0xC3, 0, true},
                      EndingCase{19, "SIGKILL_restores_nothing", 0x96, 137, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RealProgram, ASecondIsRefusedNamingTheFirstAndTouchesNothing)
{
    const vm::CaseResult* result = run().caseResult(18);
    ASSERT_NE(result, nullptr);
    const std::string pid = lineStarting(*result, "app ").substr(4);
    ASSERT_FALSE(pid.empty());
    EXPECT_EQ(lineStarting(*result, "second-exit "), "second-exit 1") << "137: its message box outlived SIGTERM\n"
                                                                       << allOutput(*result);
    const auto stderrLines = linesStarting(*result, "second-stderr: ");
    EXPECT_NE(std::find(stderrLines.begin(), stderrLines.end(),
                        "Tenvaro: the parallel port at 0x378 is already in use by Tenvaro (process " + pid +
                            ") (close that one first; only one Tenvaro may drive a port)"),
              stderrLines.end())
        << allOutput(*result);
    EXPECT_EQ(lineStarting(*result, "second-trace-lines "), "second-trace-lines 0");
    // Still the start alone: the first made no access while the second ran.
    EXPECT_EQ(lineStarting(*result, "first-trace-lines "), "first-trace-lines 28");
}

} // namespace
