// Texts of the port layer: the diagnostic lines the socket transports print
// on the process's standard output.
#pragma once

namespace qx::texts {

inline constexpr const char *kWsaStartupError = "WSAStartup() error.";
inline constexpr const char *kWinsockVersionError = "request winsock version error!";
inline constexpr const char *kSocketCreateError = "socket() create error.";
inline constexpr const char *kSocketBindError = "socket() bind error.";
inline constexpr const char *kSocketError = "socket() error.";
inline constexpr const char *kBindError = "bind() error.";
inline constexpr const char *kListenError = "listen() error.";
inline constexpr const char *kSelectError = "select() error.";
inline constexpr const char *kAcceptError = "accept() error.";
inline constexpr const char *kRecvError = "recv() error，";
inline constexpr const char *kServerListening = "服务器启动成功，监听端口：";
inline constexpr const char *kTooManyClients = "accept() error: client list full, connection closed.";

} // namespace qx::texts
