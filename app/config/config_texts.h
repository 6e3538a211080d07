// Texts of the configuration area shown to the operator, in one place, so
// that tests compare with the same constant the page shows.
#pragma once

#include "text_catalogue.h"

namespace qx::config_texts {

// answers to a parameter block read and write
inline constexpr Text kParamsIncomplete = "读取的配置数据不完整!";
inline constexpr Text kParamsBadChecksum = "读取的配置数据校验和不正确!";
inline constexpr Text kParamsWritten = "配置下发成功!";
inline constexpr Text kParamsWriteFailed = "配置下发失败,请重新下发!";

// the configuration page "配置模块"
inline constexpr const char *kBoxSystem = "<<<SYSTEM>>>";
inline constexpr const char *kBoxCom = "<<<COM1>>>";
inline constexpr const char *kBoxEth = "<<<ETH>>>";
inline constexpr const char *kBoxWifi = "<<<WIFI>>>";
inline constexpr const char *kBoxLora = "<<<LORA>>>";
inline constexpr const char *kBoxDio = "<<<DIO>>>";
inline constexpr const char *kBoxReserv = "<<<RESERV>>>";
inline constexpr Text kBoxConfig = "模块配置";
inline constexpr Text kBoxFirmware = "固件升级";
inline constexpr Text kCheckCaption = "选中1";
inline constexpr Text kReadButton = "读取模块";
inline constexpr Text kWriteButton = "写入模块";
inline constexpr Text kLoadButton = "本地加载";
inline constexpr Text kExportButton = "导出配置";
inline constexpr Text kWaitFormat = "等待%u秒";
inline constexpr Text kReadDone = "成功读取配置!";
inline constexpr Text kReadFailed = "读取失败,请重新连接模块!";
inline constexpr Text kWriteTimedOut = "写入失败,请重新连接模块!";
inline constexpr Text kNothingLoaded = "请先从模块读取配置或从本地加载配置文件!";
inline constexpr Text kBadModuleAddress = "QXAddr1(模块地址)无效,请输入1~247之间的十进制数字!";
inline constexpr Text kWriteConfirm
    = "配置写入成功后,模块将自动重启生效,但如果再次使用USB文件方式配置,则模块仍然优先从USB配置文件中加载配置!";
inline constexpr Text kIniFilter = "配置文件(*.ini)|*.ini|所有文件(*.*)|*.*||";
inline constexpr const char *kIniSuffix = "txt";
inline constexpr const char *kExportSuffix = "ini";

// INI load and export outcomes (the load failure is a log line)
inline constexpr Text kIniMissingFormat = "配置文件缺少[%s]下的%s,配置未加载!\r\n";
inline constexpr Text kIniCannotOpen = "无法打开配置文件:";
inline constexpr Text kExportDone = "配置已导出到文件:";
inline constexpr Text kExportCannotWrite = "无法写入配置文件:";
inline constexpr Text kExportRefused = "配置不能导出: 字段%s的值无法从配置文件原样读回(%s)!";
inline constexpr Text kExportLineBreak = "含换行符";
inline constexpr Text kExportKeyHidden = "读回时找不到该键";
inline constexpr Text kExportReadBackAs = "读回的值为";
inline constexpr Text kExportTooLong = "配置不能导出: 文件将超过8192字节,读取时只查找前8192字节!";
// firmware upgrade ("固件升级", kBoxFirmware)
inline constexpr Text kButtonOpenImage = "打开";
inline constexpr Text kButtonCancelUpgrade = "取消升级";
inline constexpr Text kButtonUpgradeBios = "升级BIOS";
inline constexpr Text kFirmwareProgressName = "固件升级进度";
inline constexpr Text kFirmwareFilter = "固件(*.bin)|*.bin|所有文件(*.*)|*.*||";
inline constexpr const char *kFirmwareSuffix = "bin";
inline constexpr Text kFirmwareFileSize = ", 大小: %u bytes \r\n";
inline constexpr Text kFirmwareCannotOpen = "无法打开固件文件:%s, %s";
inline constexpr Text kFirmwareTooLarge =
    "固件文件过大,未加载: %s, 大小: %llu bytes (最大 131071 bytes)";
inline constexpr Text kFirmwareNoImage = "请先选择要升级的qx_bios.bin!";
inline constexpr Text kFirmwareConfirm =
    "当前准备升级系统固件qx_bios.bin,升级失败将导致系统无法启动,请确认!";
inline constexpr Text kFirmwareDone = "升级成功!";
inline constexpr Text kFirmwareCancelled = "升级失败,请勿断电,请再次尝试升级,否则系统将无法再次启动!";
// per transfer kind: 16 (BIOS), 17 (firmware)
inline constexpr Text kBiosProgress = "升级BIOS:正在传送,Part %u/%u,Byte %u/%u\r\n";
inline constexpr Text kFirmwareProgress = "升级Firmware:正在传送,Part %u/%u,Byte %u/%u\r\n";
inline constexpr Text kBiosTimeout = "升级BIOS:传送超时,准备重新传送\r\n";
inline constexpr Text kFirmwareTimeout = "升级Firmware:传送超时,准备重新传送\r\n";
// a part the module refused (kEventBiosPacket and kEventFirmwarePacket)
inline constexpr Text kBiosResend = "升级BIOS:传送失败,准备重新传送.\r\n";
inline constexpr Text kFirmwareResend = "升级FIRMWARE: 传送失败,准备重新传送.\r\n";

} // namespace qx::config_texts
