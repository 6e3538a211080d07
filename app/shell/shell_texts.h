// Every text the shell shows to the operator, in one place, so that tests
// compare with the same constant that a page displays.
#pragma once

#include "text_catalogue.h"

namespace qx::shell_texts {

// main window
inline constexpr const char *kWindowTitle = "QovtekQX-TOOLS Ver7.6";
inline constexpr Text kTabConnection = "通讯设置";
inline constexpr Text kTabModules = "模块操作";
inline constexpr Text kTabDido = "DI/DO操作";
inline constexpr Text kTabAiao = "AI/AO操作";
inline constexpr Text kTabPipo = "PI/PO操作";
inline constexpr Text kTabConfig = "配置模块";
inline constexpr const char *kTabPlc = "QovexPLC";
// A transfer (PLC download, firmware upgrade) without a link would only
// time out until cancelled.
inline constexpr Text kNeedConnection = "请先在\"通讯设置\"页连接模块!";

inline constexpr Text kStatisticsGroup = "统计信息";
inline constexpr Text kLabelTxCmd = "总发送指令数(TxCmd):";
inline constexpr Text kLabelRxCmd = "总接收指令数(RxCmd):";
inline constexpr Text kLabelTxByte = "总发送字节数(TxByte):";
inline constexpr Text kLabelRxByte = "总接收字节数(RxByte):";
inline constexpr const char *kLabelClass1 = "0~10ms:";
inline constexpr const char *kLabelClass2 = "10~50ms:";
inline constexpr const char *kLabelClass3 = "50~100ms:";
inline constexpr const char *kLabelClass4 = "100~500ms:";
inline constexpr const char *kLabelClass5 = "500~1000ms:";
inline constexpr const char *kLabelClass6 = ">1000ms:";
inline constexpr Text kButtonClearLog = "清空";
inline constexpr Text kButtonClearStatistics = "清空统计";
inline constexpr Text kButtonPause = "暂停显示";
inline constexpr Text kButtonResume = "继续显示";
inline constexpr Text kButtonSaveLog = "保存日志";
inline constexpr Text kLogFilter = "日志文件(*.txt)|*.txt|所有文件(*.*)|*.*||";
inline constexpr const char *kLogSuffix = "txt";
// Puts the statistics panel's captions and counters on the clipboard.
inline constexpr Text kButtonCopyStatistics = "复制统计";

inline constexpr Text kStartupResolution =
    "如界面不能正常显示,请将显示器分辨率设置为1366*768或1920*1080或与此相近的分辨率后再重新打开本软件!\r\n";
inline constexpr Text kStartupGreeting = "欢迎使用QovtekQX-TOOLS模块配置与测试工具!\r\n";
inline constexpr Text kStartupContact = "技术支持:请联系Qovtek技术服务部门.\r\n";
// The traffic log's accessible name (it has no caption on screen).
inline constexpr Text kLogName = "通讯日志";

// message boxes
inline constexpr Text kCaptionNotice = "提示：";
inline constexpr Text kCaptionConfirm = "注意:";
inline constexpr Text kCannotDestroy = "不能销毁上一个句柄！";

// library binding: QXTools does not start without the library, and says why
// "无法加载通讯库 <library>：<reason>" and "通讯库 <library> 中缺少函数 <symbol>，程序无法启动！"
inline constexpr Text kLibraryMissingPrefix = "无法加载通讯库 ";
inline constexpr Text kLibraryMissingMiddle = "：";
inline constexpr Text kLibrarySymbolPrefix = "通讯库 ";
inline constexpr Text kLibrarySymbolMiddle = " 中缺少函数 ";
inline constexpr Text kLibrarySymbolSuffix = "，程序无法启动！";

// connection page
inline constexpr Text kRadioTcpServer = "TCP服务器";
inline constexpr Text kRadioTcpClient = "TCP客户端";
inline constexpr const char *kRadioUdp = "UDP";
inline constexpr Text kRadioSerial = "串口";
inline constexpr Text kLabelAdapter = "电脑网卡选择：";
inline constexpr Text kLabelLocalIp = "电脑IP选择：";
inline constexpr Text kLabelModbusAddress = "模块MODBUS地址(1~240)";
inline constexpr Text kLabelListenPort = "电脑监听端口：";
inline constexpr Text kButtonListen = "监听";
inline constexpr Text kButtonDisconnect = "断开";
inline constexpr Text kLabelStatus = "连接状态：";
inline constexpr Text kLabelPeer = "模块：";
inline constexpr Text kLabelModuleIp = "模块IP：";
inline constexpr Text kLabelModulePort = "模块端口：";
inline constexpr Text kLabelPcPort = "电脑端口：";
inline constexpr Text kButtonConnect = "连接";
inline constexpr Text kLabelSerialPort = "本机串口号：";
inline constexpr Text kLabelBaudRate = "串口波特率：";
inline constexpr Text kLabelDataBits = "数据位：";
inline constexpr Text kLabelParity = "校验位：";
inline constexpr Text kLabelStopBits = "停止位：";
inline constexpr Text kButtonOpen = "打开";
inline constexpr Text kButtonClose = "关闭";
inline constexpr Text kParityNone = "无";
inline constexpr Text kParityOdd = "奇校验";
inline constexpr Text kParityEven = "偶校验";
inline constexpr Text kParityMark = "MARK校验";
inline constexpr Text kLabelFirmwareVersion = "固件版本：";
inline constexpr Text kLabelDriverVersion = "驱动版本：";
inline constexpr Text kLabelModel = "设备型号：";
inline constexpr Text kLabelSeries = "设备系列：";
inline constexpr Text kLabelSerialNumber = "出厂编号：";
inline constexpr Text kLabelFactoryDate = "出厂日期：";
inline constexpr Text kLabelDescription = "功能简介：";
inline constexpr const char *kNoPeer = "---.---.---.---:---";
inline constexpr const char *kDefaultModuleIp = "192.168.0.105";
inline constexpr const char *kDefaultPort = "10001";
inline constexpr const char *kDefaultModbusAddress = "1";

inline constexpr Text kAdapterListFailed = "读取网卡列表失败,将使用本机默认IP地址！";
inline constexpr Text kInvalidAdapter = "无效网卡或无效IP！";
inline constexpr Text kListenNeedsAdapter = "监听失败,请先选择有效网卡或有效IP！";
inline constexpr Text kListenFailed =
    "监听失败,IP不正确或端口号已被其他程序占用,请尝试更换端口号或重启电脑！";
inline constexpr Text kConnectNeedsAdapter = "连接失败,请先选择有效网卡或有效IP！";
inline constexpr Text kConnectFailed = "连接失败！";
// The shell's own texts for input the settings block cannot carry.
inline constexpr Text kSerialPathTooLong =
    "串口设备路径过长(最多15个字符),请使用更短的路径或建立一个短的链接！";
inline constexpr Text kSerialPathEmpty = "请先选择或输入串口设备！";
inline constexpr Text kInvalidModuleIp = "模块IP地址无效,请输入形如192.168.0.105的地址！";
inline constexpr Text kInvalidPort = "端口号无效,请输入0~65535之间的数字！";
inline constexpr Text kInvalidModbusAddress =
    "模块MODBUS地址(1~240)无效,请输入1~247之间的十进制数字！";

// status texts
inline constexpr Text kNotConnected = "未连接...";
inline constexpr Text kWaitingForModule = "等待模块连入...";
inline constexpr Text kConnecting = "正在连接模块,请稍后...";
inline constexpr Text kUdpConnecting = "正在连接模块...";
inline constexpr Text kDisconnecting = "正在断开连接,请稍后...";
inline constexpr Text kConnectionFailed = "连接失败";
inline constexpr Text kPeerConnectedReading = "模块已连接,正在读取模块基本信息...";
inline constexpr Text kReading = "正在读取模块基本信息...";
inline constexpr Text kConnected = "已连接";
inline constexpr Text kSerialFailed = "失败,串口不存在或被占用";
inline constexpr Text kSerialOpenedReading = "串口打开成功,正在读取模块基本信息...";

} // namespace qx::shell_texts
