/* A tiny X session manager (XSMP over ICE) for the process tests only: one
 * client registers, and on "logout" on stdin it is asked to save and then to
 * die, as a desktop does when the user logs out.
 *
 * stdout, one line per event, flushed at once:
 *   local/...                  the network id, for the client's SESSION_MANAGER
 *   registered <client id>     the client registered and finished its first save
 *   save-yourself-done <0|1>   the client answered the logout's SaveYourself
 *   die                        Die was sent
 *   closed                     the client closed the connection; exit code 0
 * Exit code 1 on anything else: an error, stdin closed early, or nothing
 * happening for TIMEOUT_SECONDS (so a test never hangs on it).
 */
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { TIMEOUT_SECONDS = 30, MAX_LISTENERS = 16 };

enum stage {
    WAITING_FOR_CLIENT,
    FIRST_SAVE,       /* the SaveYourself every new client is owed */
    REGISTERED,
    LOGGING_OUT,      /* SaveYourself with shutdown sent */
    DYING,            /* Die sent */
    CLOSED,
};

static enum stage stage = WAITING_FOR_CLIENT;
static IceConn ice;
static SmsConn client;
static int listenerCount;
static IceListenObj *listeners;

static void fail(const char *message)
{
    fprintf(stderr, "session_manager: %s\n", message);
    if (listeners)
        IceFreeListenObjs(listenerCount, listeners); /* removes the socket's file */
    exit(1);
}

/* Only local sockets are listened on, and this throwaway manager writes no
 * .ICEauthority entries: every peer is let in. (ICE frees the name.) */
static Bool anyHost(char *hostname)
{
    (void)hostname;
    return True;
}

/* The default handler exits; here IceProcessMessages reports the error and
 * the loop treats it as the client having gone. */
static void ignoreIoError(IceConn connection)
{
    (void)connection;
}

static Status registerClient(SmsConn connection, SmPointer data, char *previousId)
{
    (void)data;
    free(previousId); /* any id is fine: the client is new to us either way */
    char *id = SmsGenerateClientID(connection);
    const Status replied = SmsRegisterClientReply(connection, id ? id : "1tenvaro-test-client");
    free(id);
    if (!replied)
        return 0;
    /* The protocol has the manager save a client that registered without a
     * previous id at once, as a local save without shutdown. */
    stage = FIRST_SAVE;
    SmsSaveYourself(connection, SmSaveLocal, False, SmInteractStyleNone, False);
    return 1;
}

static void saveYourselfDone(SmsConn connection, SmPointer data, Bool success)
{
    (void)data;
    if (stage == FIRST_SAVE) {
        stage = REGISTERED;
        char *id = SmsClientID(connection); /* a copy for the caller to free */
        printf("registered %s\n", id ? id : "?");
        free(id);
    } else if (stage == LOGGING_OUT) {
        printf("save-yourself-done %d\n", success ? 1 : 0);
        stage = DYING;
        SmsDie(connection);
        printf("die\n");
    }
}

static void closeConnection(SmsConn connection, SmPointer data, int count, char **reasons)
{
    (void)data;
    SmFreeReasons(count, reasons);
    IceConn iceConnection = SmsGetIceConnection(connection);
    SmsCleanUp(connection);
    client = NULL;
    IceSetShutdownNegotiation(iceConnection, False);
    IceCloseConnection(iceConnection); /* takes effect when processing returns */
    ice = NULL;
    stage = CLOSED;
}

static void setProperties(SmsConn connection, SmPointer data, int count, SmProp **properties)
{
    (void)connection;
    (void)data;
    for (int i = 0; i < count; i++)
        SmFreeProperty(properties[i]);
    free(properties);
}

static void deleteProperties(SmsConn connection, SmPointer data, int count, char **names)
{
    (void)connection;
    (void)data;
    SmFreeReasons(count, names);
}

static void getProperties(SmsConn connection, SmPointer data)
{
    (void)data;
    SmsReturnProperties(connection, 0, NULL);
}

/* With interaction style none the client has no reason to ask; if it does
 * the logout stalls, so say so for whoever reads the test's output. */
static void interactRequest(SmsConn connection, SmPointer data, int dialogType)
{
    (void)connection;
    (void)data;
    (void)dialogType;
    fprintf(stderr, "session_manager: the client asked to interact\n");
}

static void interactDone(SmsConn connection, SmPointer data, Bool cancelShutdown)
{
    (void)connection;
    (void)data;
    (void)cancelShutdown;
}

/* A client's own request to be saved is not part of any test. */
static void saveYourselfRequest(SmsConn connection, SmPointer data, int saveType, Bool shutdown,
                                int interactStyle, Bool fast, Bool global)
{
    (void)connection;
    (void)data;
    (void)saveType;
    (void)shutdown;
    (void)interactStyle;
    (void)fast;
    (void)global;
}

/* With a single client, phase 1 is over as soon as it asks for phase 2. */
static void saveYourselfPhase2Request(SmsConn connection, SmPointer data)
{
    (void)data;
    SmsSaveYourselfPhase2(connection);
}

static Status newClient(SmsConn connection, SmPointer data, unsigned long *mask, SmsCallbacks *callbacks,
                        char **failureReason)
{
    (void)data;
    if (client) {
        *failureReason = strdup("this session manager takes one client");
        return 0;
    }
    client = connection;
    memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = interactRequest;
    callbacks->interact_done.callback = interactDone;
    callbacks->save_yourself_request.callback = saveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = saveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->get_properties.callback = getProperties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    return 1;
}

/* Only the local (Unix socket) listeners are kept: the TCP ones ICE opens
 * as well would let other hosts try to join. Returns how many remain. */
static int keepLocalListeners(int count, IceListenObj *all)
{
    IceListenObj *others = calloc((size_t)count, sizeof *others);
    if (!others)
        fail("out of memory");
    int kept = 0, dropped = 0;
    for (int i = 0; i < count; i++) {
        char *id = IceGetListenConnectionString(all[i]);
        if (id && (strncmp(id, "local/", 6) == 0 || strncmp(id, "unix/", 5) == 0))
            all[kept++] = all[i];
        else
            others[dropped++] = all[i];
        free(id);
    }
    IceFreeListenObjs(dropped, others); /* closes them and frees the array */
    return kept;
}

/* The client went away without CloseConnection (it exited, or the socket
 * broke): that also counts as closed once Die was sent. */
static void dropClient(void)
{
    if (client)
        SmsCleanUp(client);
    client = NULL;
    if (ice)
        IceCloseConnection(ice);
    ice = NULL;
    if (stage != DYING)
        fail("the client went away before it was told to die");
    stage = CLOSED;
}

static void readCommand(void)
{
    char line[64];
    if (!fgets(line, sizeof line, stdin))
        fail("stdin closed");
    if (strcmp(line, "logout\n") != 0)
        fail("unknown command (expected \"logout\")");
    if (stage != REGISTERED)
        fail("logout asked for before a client registered");
    stage = LOGGING_OUT;
    /* What a desktop sends when the user logs out. */
    SmsSaveYourself(client, SmSaveGlobal, True, SmInteractStyleNone, False);
}

int main(void)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    IceSetIOErrorHandler(ignoreIoError);

    char error[256] = "";
    if (!SmsInitialize("Tenvaro tests", "1.0", newClient, NULL, anyHost, sizeof error, error))
        fail(error[0] ? error : "SmsInitialize failed");

    int count = 0;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error))
        fail(error[0] ? error : "IceListenForConnections failed");
    count = listenerCount = keepLocalListeners(count, listeners);
    if (count == 0 || count > MAX_LISTENERS)
        fail("no local ICE transport to listen on");
    for (int i = 0; i < count; i++)
        IceSetHostBasedAuthProc(listeners[i], anyHost);

    char *networkIds = IceComposeNetworkIdList(count, listeners);
    printf("%s\n", networkIds);
    free(networkIds);

    while (stage != CLOSED) {
        struct pollfd fds[MAX_LISTENERS + 2];
        int n = 0;
        /* One command is all there is: after it, stdin may close. */
        fds[n++] = (struct pollfd){.fd = stage < LOGGING_OUT ? STDIN_FILENO : -1, .events = POLLIN};
        if (ice)
            fds[n++] = (struct pollfd){.fd = IceConnectionNumber(ice), .events = POLLIN};
        const int firstListener = n;
        if (!ice)
            for (int i = 0; i < count; i++)
                fds[n++] = (struct pollfd){.fd = IceGetListenConnectionNumber(listeners[i]), .events = POLLIN};

        const int ready = poll(fds, (nfds_t)n, TIMEOUT_SECONDS * 1000);
        if (ready < 0)
            fail("poll failed");
        if (ready == 0) {
            snprintf(error, sizeof error, "timed out: nothing happened for %d seconds", TIMEOUT_SECONDS);
            fail(error);
        }

        if (fds[0].revents)
            readCommand();
        if (ice && fds[1].revents) {
            switch (IceProcessMessages(ice, NULL, NULL)) {
            case IceProcessMessagesSuccess:
                if (ice && IceConnectionStatus(ice) == IceConnectRejected)
                    dropClient();
                break;
            case IceProcessMessagesIOError:
                dropClient();
                break;
            case IceProcessMessagesConnectionClosed:
                ice = NULL; /* already freed by ICE */
                client = NULL;
                if (stage != CLOSED)
                    dropClient();
                break;
            }
        }
        for (int i = firstListener; i < n && !ice; i++) {
            if (!fds[i].revents)
                continue;
            IceAcceptStatus status;
            ice = IceAcceptConnection(listeners[i - firstListener], &status);
            if (!ice || status != IceAcceptSuccess)
                ice = NULL; /* a failed attempt; keep listening */
        }
    }

    printf("closed\n");
    IceFreeListenObjs(count, listeners);
    return 0;
}
