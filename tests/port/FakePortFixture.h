// Puts a recording fake behind the port operations for one test and takes it
// away afterwards.
#pragma once

#include "PortAccess.h"
#include "RecordingPort.h"

#include <gtest/gtest.h>

#include <memory>

class FakePortFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto fake = std::make_unique<portio::RecordingPort>();
        port = fake.get();
        previous = portio::install(std::move(fake));
    }
    void TearDown() override { portio::install(std::move(previous)); }

    portio::RecordingPort* port = nullptr;

private:
    std::unique_ptr<portio::PortBackend> previous;
};

using portio::PortCall;
inline PortCall R(std::uint32_t address, std::uint8_t value) { return {PortCall::Read, address, value}; }
inline PortCall W(std::uint32_t address, std::uint8_t value) { return {PortCall::Write, address, value}; }
