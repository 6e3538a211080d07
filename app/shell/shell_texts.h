// Every text the shell shows to the operator, in one place, so that tests
// compare with the same constant that a page displays.
#pragma once


namespace qx::shell_texts {

// main window
inline constexpr const char *kWindowTitle = "QovtekQX-TOOLS Ver7.6";
inline constexpr const char *kTabConnection = "通讯设置";
inline constexpr const char *kTabModules = "模块操作";
inline constexpr const char *kTabDido = "DI/DO操作";
inline constexpr const char *kTabAiao = "AI/AO操作";
inline constexpr const char *kTabPipo = "PI/PO操作";
inline constexpr const char *kTabConfig = "配置模块";
inline constexpr const char *kTabPlc = "QovexPLC";
// A transfer (PLC download, firmware upgrade) without a link would only
// time out until cancelled.
inline constexpr const char *kNeedConnection = "请先在\"通讯设置\"页连接模块!";

inline constexpr const char *kStatisticsGroup = "统计信息";
inline constexpr const char *kLabelTxCmd = "总发送指令数(TxCmd):";
inline constexpr const char *kLabelRxCmd = "总接收指令数(RxCmd):";
inline constexpr const char *kLabelTxByte = "总发送字节数(TxByte):";
inline constexpr const char *kLabelRxByte = "总接收字节数(RxByte):";
inline constexpr const char *kLabelClass1 = "0~10ms:";
inline constexpr const char *kLabelClass2 = "10~50ms:";
inline constexpr const char *kLabelClass3 = "50~100ms:";
inline constexpr const char *kLabelClass4 = "100~500ms:";
inline constexpr const char *kLabelClass5 = "500~1000ms:";
inline constexpr const char *kLabelClass6 = ">1000ms:";
inline constexpr const char *kButtonClearLog = "清空";
inline constexpr const char *kButtonClearStatistics = "清空统计";
inline constexpr const char *kButtonPause = "暂停显示";
inline constexpr const char *kButtonResume = "继续显示";
inline constexpr const char *kButtonSaveLog = "保存日志";
inline constexpr const char *kLogFilter = "日志文件(*.txt)|*.txt|所有文件(*.*)|*.*||";
inline constexpr const char *kLogSuffix = "txt";
// Puts the statistics panel's captions and counters on the clipboard.
inline constexpr const char *kButtonCopyStatistics = "复制统计";

inline constexpr const char *kStartupResolution =
    "如界面不能正常显示,请将显示器分辨率设置为1366*768或1920*1080或与此相近的分辨率后再重新打开本软件!\r\n";
inline constexpr const char *kStartupGreeting = "欢迎使用QovtekQX-TOOLS模块配置与测试工具!\r\n";
inline constexpr const char *kStartupContact = "技术支持:请联系Qovtek技术服务部门.\r\n";
// The traffic log's accessible name (it has no caption on screen).
inline constexpr const char *kLogName = "通讯日志";

// message boxes
inline constexpr const char *kCaptionNotice = "提示：";
inline constexpr const char *kCaptionConfirm = "注意:";
inline constexpr const char *kCannotDestroy = "不能销毁上一个句柄！";

// library binding: QXTools does not start without the library, and says why
// "无法加载通讯库 <library>：<reason>" and "通讯库 <library> 中缺少函数 <symbol>，程序无法启动！"
inline constexpr const char *kLibraryMissingPrefix = "无法加载通讯库 ";
inline constexpr const char *kLibrarySymbolPrefix = "通讯库 ";
inline constexpr const char *kLibrarySymbolMiddle = " 中缺少函数 ";
inline constexpr const char *kLibrarySymbolSuffix = "，程序无法启动！";

// connection page
inline constexpr const char *kRadioTcpServer = "TCP服务器";
inline constexpr const char *kRadioTcpClient = "TCP客户端";
inline constexpr const char *kRadioUdp = "UDP";
inline constexpr const char *kRadioSerial = "串口";
inline constexpr const char *kLabelAdapter = "电脑网卡选择：";
inline constexpr const char *kLabelLocalIp = "电脑IP选择：";
inline constexpr const char *kLabelModbusAddress = "模块MODBUS地址(1~240)";
inline constexpr const char *kLabelListenPort = "电脑监听端口：";
inline constexpr const char *kButtonListen = "监听";
inline constexpr const char *kButtonDisconnect = "断开";
inline constexpr const char *kLabelStatus = "连接状态：";
inline constexpr const char *kLabelPeer = "模块：";
inline constexpr const char *kLabelModuleIp = "模块IP：";
inline constexpr const char *kLabelModulePort = "模块端口：";
inline constexpr const char *kLabelPcPort = "电脑端口：";
inline constexpr const char *kButtonConnect = "连接";
inline constexpr const char *kLabelSerialPort = "本机串口号：";
inline constexpr const char *kLabelBaudRate = "串口波特率：";
inline constexpr const char *kLabelDataBits = "数据位：";
inline constexpr const char *kLabelParity = "校验位：";
inline constexpr const char *kLabelStopBits = "停止位：";
inline constexpr const char *kButtonOpen = "打开";
inline constexpr const char *kButtonClose = "关闭";
inline constexpr const char *kParityNone = "无";
inline constexpr const char *kParityOdd = "奇校验";
inline constexpr const char *kParityEven = "偶校验";
inline constexpr const char *kParityMark = "MARK校验";
inline constexpr const char *kLabelFirmwareVersion = "固件版本：";
inline constexpr const char *kLabelDriverVersion = "驱动版本：";
inline constexpr const char *kLabelModel = "设备型号：";
inline constexpr const char *kLabelSeries = "设备系列：";
inline constexpr const char *kLabelSerialNumber = "出厂编号：";
inline constexpr const char *kLabelFactoryDate = "出厂日期：";
inline constexpr const char *kLabelDescription = "功能简介：";
inline constexpr const char *kNoPeer = "---.---.---.---:---";
inline constexpr const char *kDefaultModuleIp = "192.168.0.105";
inline constexpr const char *kDefaultPort = "10001";
inline constexpr const char *kDefaultModbusAddress = "1";

inline constexpr const char *kAdapterListFailed = "读取网卡列表失败,将使用本机默认IP地址！";
inline constexpr const char *kInvalidAdapter = "无效网卡或无效IP！";
inline constexpr const char *kListenNeedsAdapter = "监听失败,请先选择有效网卡或有效IP！";
inline constexpr const char *kListenFailed =
    "监听失败,IP不正确或端口号已被其他程序占用,请尝试更换端口号或重启电脑！";
inline constexpr const char *kConnectNeedsAdapter = "连接失败,请先选择有效网卡或有效IP！";
inline constexpr const char *kConnectFailed = "连接失败！";
// The shell's own texts for input the settings block cannot carry.
inline constexpr const char *kSerialPathTooLong =
    "串口设备路径过长(最多15个字符),请使用更短的路径或建立一个短的链接！";
inline constexpr const char *kSerialPathEmpty = "请先选择或输入串口设备！";
inline constexpr const char *kInvalidModuleIp = "模块IP地址无效,请输入形如192.168.0.105的地址！";
inline constexpr const char *kInvalidPort = "端口号无效,请输入0~65535之间的数字！";
inline constexpr const char *kInvalidModbusAddress =
    "模块MODBUS地址(1~240)无效,请输入1~247之间的十进制数字！";

// status texts
inline constexpr const char *kNotConnected = "未连接...";
inline constexpr const char *kWaitingForModule = "等待模块连入...";
inline constexpr const char *kConnecting = "正在连接模块,请稍后...";
inline constexpr const char *kUdpConnecting = "正在连接模块...";
inline constexpr const char *kDisconnecting = "正在断开连接,请稍后...";
inline constexpr const char *kConnectionFailed = "连接失败";
inline constexpr const char *kPeerConnectedReading = "模块已连接,正在读取模块基本信息...";
inline constexpr const char *kReading = "正在读取模块基本信息...";
inline constexpr const char *kConnected = "已连接";
inline constexpr const char *kSerialFailed = "失败,串口不存在或被占用";
inline constexpr const char *kSerialOpenedReading = "串口打开成功,正在读取模块基本信息...";

} // namespace qx::shell_texts
