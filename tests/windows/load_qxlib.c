/* load_qxlib: what an integrator's program does with qxlib.dll. It loads the
 * DLL with LoadLibrary, finds the nine functions with GetProcAddress, opens a
 * TCP client port to a module, asks once for its identity (command slot 0)
 * and prints what event 0 carries. Only qxlib.h and the documented record
 * offsets are used, nothing of the library's own C++ headers.
 *
 *   load_qxlib.exe PATH\qxlib.dll MODULE-ADDRESS PORT
 *
 * Exit status 0 when the identity arrived within five seconds. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "qxlib.h"

typedef int32_t (*CreateFn)(PortSettings, EventCallback, intptr_t *);
typedef int32_t (*HandleFn)(intptr_t);
typedef int32_t (*CmdFn)(intptr_t, int32_t, const void *, int32_t);
typedef void (*ClearFn)(intptr_t);

/* PortSettings: transport type and framing words, then the TCP client's
 * local address (64 bytes at 8), module address (64 bytes at 72) and module
 * port (16 bits at 136), little-endian. */
enum { kTransportTcpClient = 1, kLocalAddress = 8, kModuleAddress = 72, kModulePort = 136 };
/* RequestRecord: mode at 8 (1: send once), counter at 12, module address
 * at 16; the identity request passes its first 20 bytes. */
enum { kMode = 8, kCounter = 12, kAddress = 16, kIdentityLength = 20, kSlotIdentity = 0 };
/* Events: -1 connection (state at 16), 0 identity (texts at these offsets). */
enum { kEventConnection = -1, kEventIdentity = 0, kState = 16 };
enum { kDriverVersion = 13, kFirmwareVersion = 45, kModelName = 111, kSerialNumber = 399,
       kFactoryDate = 431, kIdentitySize = 464 };

static HANDLE g_identityArrived;
static unsigned char g_identity[kIdentitySize];

static void onEvent(void *port, int32_t code, const void *data)
{
    (void)port;
    if (code == kEventConnection) {
        int32_t state;
        memcpy(&state, (const unsigned char *)data + kState, sizeof state);
        printf("connection state %d\n", (int)state);
    } else if (code == kEventIdentity) {
        memcpy(g_identity, data, sizeof g_identity);
        SetEvent(g_identityArrived);
    }
}

/* GetProcAddress's type says nothing of the function's; the cast goes
 * through a function type without parameters. */
static void (*find(HMODULE dll, const char *name))(void)
{
    void (*f)(void) = (void (*)(void))GetProcAddress(dll, name);
    if (f == NULL)
        printf("missing export %s\n", name);
    return f;
}

static const char *text(size_t offset)
{
    return (const char *)g_identity + offset;
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: load_qxlib PATH\\qxlib.dll MODULE-ADDRESS PORT\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    HMODULE dll = LoadLibraryA(argv[1]);
    if (dll == NULL) {
        printf("LoadLibrary(%s) failed: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    CreateFn create = (CreateFn)find(dll, "DLL_API_OBJ_CREATE");
    HandleFn run = (HandleFn)find(dll, "DLL_API_OBJ_RUN");
    HandleFn destroy = (HandleFn)find(dll, "DLL_API_OBJ_DESTROY");
    CmdFn cmd = (CmdFn)find(dll, "DLL_API_OBJ_CMD");
    ClearFn clearReceive = (ClearFn)find(dll, "DLL_API_OBJ_RXBUFF_CLR");
    if (!create || !run || !destroy || !cmd || !clearReceive || !find(dll, "DLL_API_OBJ_STOP")
        || !find(dll, "DLL_API_OBJ_CMD_STOP_ALL") || !find(dll, "DLL_API_OBJ_CLR_STATIS")
        || !find(dll, "DLL_API_OBJ_QUERY"))
        return 1;
    printf("loaded %s: nine exports found\n", argv[1]);

    unsigned char bytes[sizeof(PortSettings)] = {0};
    bytes[0] = kTransportTcpClient;
    strcpy((char *)bytes + kLocalAddress, "127.0.0.1");
    strncpy((char *)bytes + kModuleAddress, argv[2], 63);
    const unsigned port = (unsigned)atoi(argv[3]);
    bytes[kModulePort] = (unsigned char)(port & 0xff);
    bytes[kModulePort + 1] = (unsigned char)(port >> 8);
    PortSettings settings;
    memcpy(&settings, bytes, sizeof settings);

    g_identityArrived = CreateEventA(NULL, TRUE, FALSE, NULL);
    intptr_t handle = 0;
    if (create(settings, onEvent, &handle) != 0 || run(handle) != 0) {
        printf("the port did not open\n");
        return 1;
    }
    unsigned char request[kIdentityLength] = {0};
    request[kMode] = 1;
    request[kCounter] = 1;
    request[kAddress] = 1;
    clearReceive(handle);
    cmd(handle, kSlotIdentity, request, kIdentityLength);

    const int arrived = WaitForSingleObject(g_identityArrived, 5000) == WAIT_OBJECT_0;
    destroy(handle);
    if (!arrived) {
        printf("no identity within 5000 ms\n");
        return 1;
    }
    printf("identity: model %s, driver %s, firmware %s, serial %s, made %s\n",
           text(kModelName), text(kDriverVersion), text(kFirmwareVersion), text(kSerialNumber),
           text(kFactoryDate));
    FreeLibrary(dll);
    printf("unloaded\n");
    return 0;
}
