/* QXLIB: the library that talks to the modules. One port object at a time,
 * driven through these nine functions; everything that happens is reported
 * through the EventCallback. Record layouts of the events are described in
 * the library's layout headers in lib/engine (identity_record.h,
 * response_records.h, connection_event.h, statistics_record.h). */
#ifndef QXLIB_H
#define QXLIB_H

#include <stdint.h>

#if defined(_WIN32) && defined(QXLIB_BUILDING)
#define QXLIB_API __declspec(dllexport)
#elif defined(_WIN32)
#define QXLIB_API __declspec(dllimport)
#else
#define QXLIB_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PortSettings {
    uint32_t word[35]; /* 140 bytes, little-endian words */
} PortSettings;

/* port: the port object; code: event code (-2, -1, 0..19); data: borrowed,
 * valid only during the call. */
typedef void (*EventCallback)(void *port, int32_t code, const void *data);

QXLIB_API int32_t DLL_API_OBJ_CREATE(PortSettings settings, EventCallback callback,
                                     intptr_t *handle_out);
QXLIB_API int32_t DLL_API_OBJ_RUN(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_STOP(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_DESTROY(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_CMD(intptr_t handle, int32_t slot, const void *record,
                                  int32_t length);
QXLIB_API void DLL_API_OBJ_RXBUFF_CLR(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_CMD_STOP_ALL(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_CLR_STATIS(intptr_t handle);
QXLIB_API int32_t DLL_API_OBJ_QUERY(intptr_t handle);

#ifdef __cplusplus
}
#endif

#endif /* QXLIB_H */
