<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>qx</name>
    <message>
        <location filename="../../app/common/common_texts.h"/>
        <source>文件路径:</source>
        <translation>File path:</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读取的配置数据不完整!</source>
        <translation>Configuration data read is incomplete!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读取的配置数据校验和不正确!</source>
        <translation>Configuration data read has a bad checksum!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置下发成功!</source>
        <translation>Configuration written to the module!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置下发失败,请重新下发!</source>
        <translation>Configuration write failed, please write again!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>模块配置</source>
        <translation>Module Config</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>固件升级</source>
        <translation>Firmware Upgrade</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>选中1</source>
        <translation>Check1</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读取模块</source>
        <translation>Read Module</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>写入模块</source>
        <translation>Write Module</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>本地加载</source>
        <translation>Load File</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>导出配置</source>
        <translation>Export Config</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>等待%u秒</source>
        <translation>Wait %u s</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>成功读取配置!</source>
        <translation>Configuration read successfully!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读取失败,请重新连接模块!</source>
        <translation>Read failed, please reconnect the module!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>写入失败,请重新连接模块!</source>
        <translation>Write failed, please reconnect the module!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>请先从模块读取配置或从本地加载配置文件!</source>
        <translation>Please read the configuration from the module or load a configuration file first!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>QXAddr1(模块地址)无效,请输入1~247之间的十进制数字!</source>
        <translation>QXAddr1 (module address) is invalid, please enter a decimal number in 1~247!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置写入成功后,模块将自动重启生效,但如果再次使用USB文件方式配置,则模块仍然优先从USB配置文件中加载配置!</source>
        <translation>Once the configuration is written, the module restarts automatically to apply it. But if it is configured from a USB file again, the module still loads the USB configuration file first!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置文件(*.ini)|*.ini|所有文件(*.*)|*.*||</source>
        <translation>Config files (*.ini)|*.ini|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置文件缺少[%s]下的%s,配置未加载!&#xd;
</source>
        <translation>Configuration file section [%s] lacks %s, configuration not loaded!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>无法打开配置文件:</source>
        <translation>Cannot open configuration file:</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置已导出到文件:</source>
        <translation>Configuration exported to file:</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>无法写入配置文件:</source>
        <translation>Cannot write configuration file:</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置不能导出: 字段%s的值无法从配置文件原样读回(%s)!</source>
        <translation>Configuration cannot be exported: the value of field %s cannot be read back unchanged from the file (%s)!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>含换行符</source>
        <translation>contains a line break</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读回时找不到该键</source>
        <translation>key not found on read-back</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>读回的值为</source>
        <translation>read back as:</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>配置不能导出: 文件将超过8192字节,读取时只查找前8192字节!</source>
        <translation>Configuration cannot be exported: the file would exceed 8192 bytes, and reading only searches the first 8192 bytes!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>取消升级</source>
        <translation>Cancel Upgrade</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级BIOS</source>
        <translation>Upgrade BIOS</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>固件升级进度</source>
        <translation>Firmware upgrade progress</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>固件(*.bin)|*.bin|所有文件(*.*)|*.*||</source>
        <translation>Firmware (*.bin)|*.bin|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>, 大小: %u bytes &#xd;
</source>
        <translation>, size: %u bytes &#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>无法打开固件文件:%s, %s</source>
        <translation>Cannot open firmware file: %s, %s</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>固件文件过大,未加载: %s, 大小: %llu bytes (最大 131071 bytes)</source>
        <translation>Firmware file too large, not loaded: %s, size: %llu bytes (max 131071 bytes)</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>请先选择要升级的qx_bios.bin!</source>
        <translation>Please select the qx_bios.bin to upgrade first!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>当前准备升级系统固件qx_bios.bin,升级失败将导致系统无法启动,请确认!</source>
        <translation>About to upgrade the system firmware qx_bios.bin. A failed upgrade leaves the system unable to start. Please confirm!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级成功!</source>
        <translation>Upgrade succeeded!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级失败,请勿断电,请再次尝试升级,否则系统将无法再次启动!</source>
        <translation>Upgrade failed! Do not power off and try the upgrade again, or the system will not be able to start again!</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级BIOS:正在传送,Part %u/%u,Byte %u/%u&#xd;
</source>
        <translation>Upgrade BIOS: sending, Part %u/%u, Byte %u/%u&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级Firmware:正在传送,Part %u/%u,Byte %u/%u&#xd;
</source>
        <translation>Upgrade Firmware: sending, Part %u/%u, Byte %u/%u&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级BIOS:传送超时,准备重新传送&#xd;
</source>
        <translation>Upgrade BIOS: transfer timed out, resending&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级Firmware:传送超时,准备重新传送&#xd;
</source>
        <translation>Upgrade Firmware: transfer timed out, resending&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级BIOS:传送失败,准备重新传送.&#xd;
</source>
        <translation>Upgrade BIOS: transfer failed, resending.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/config_texts.h"/>
        <source>升级FIRMWARE: 传送失败,准备重新传送.&#xd;
</source>
        <translation>Upgrade FIRMWARE: transfer failed, resending.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(模块地址)</source>
        <translation>(module address)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(工作模式)</source>
        <translation>(work mode)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(上报内容)</source>
        <translation>(report content)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(上报间隔)</source>
        <translation>(report interval)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(接收超时)</source>
        <translation>(Rx timeout)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(发送超时)</source>
        <translation>(Tx timeout)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(失联判断)</source>
        <translation>(link loss time)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(失联保护)</source>
        <translation>(link loss action)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(波特率)</source>
        <translation>(baud rate)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(数据位)</source>
        <translation>(data bits)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(奇偶校验)</source>
        <translation>(parity)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(停止位)</source>
        <translation>(stop bits)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(类型)</source>
        <translation>(type)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(模块IP)</source>
        <translation>(module IP)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(子网掩码)</source>
        <translation>(subnet mask)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(网关IP)</source>
        <translation>(gateway IP)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(模块MAC)</source>
        <translation>(module MAC)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(模块DNS)</source>
        <translation>(module DNS)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(域名)</source>
        <translation>(domain name)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(模块端口)</source>
        <translation>(module port)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(上位IP)</source>
        <translation>(host IP)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(上位端口)</source>
        <translation>(host port)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(连接方式)</source>
        <translation>(connection type)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(重连时间)</source>
        <translation>(reconnect time)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(重连方式)</source>
        <translation>(reconnect mode)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(热点名称)</source>
        <translation>(hotspot SSID)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(热点密码)</source>
        <translation>(hotspot password)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(掉线检测)</source>
        <translation>(offline detection)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(重连间隔)</source>
        <translation>(reconnect interval)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(无线频率)</source>
        <translation>(RF frequency)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(无线功率)</source>
        <translation>(RF power)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(无线带宽)</source>
        <translation>(RF bandwidth)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(扩频因子)</source>
        <translation>(spreading factor)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(高电平滤波)</source>
        <translation>(high-level filter)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(低电平滤波)</source>
        <translation>(low-level filter)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(掉电恢复)</source>
        <translation>(power-loss restore)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_form.cpp"/>
        <source>(掉电保存)</source>
        <translation>(power-loss retain)</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>MARK校验</source>
        <translation>MARK</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <source>只接收</source>
        <translation>Rx only</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>TCP客户端</source>
        <translation>TCP client</translation>
    </message>
    <message>
        <location filename="../../app/config/param_values.cpp"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>TCP服务器</source>
        <translation>TCP server</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>模拟量AI通道%u量纲不正确！</source>
        <translation>Analog AI channel %u: invalid unit!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>模拟量AO通道%u量纲不正确！</source>
        <translation>Analog AO channel %u: invalid unit!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>模拟量AI通道%u量纲系数不正确！</source>
        <translation>Analog AI channel %u: invalid scale factor!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>模拟量AO通道%u量纲系数不正确！</source>
        <translation>Analog AO channel %u: invalid scale factor!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>v伏特</source>
        <translation>V volt</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>ma毫安</source>
        <translation>mA milliamp</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>mpa兆帕</source>
        <translation>MPa megapascal</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>deg度</source>
        <translation>deg degree</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>rh湿</source>
        <translation>RH humidity</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>g克</source>
        <translation>g gram</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>n牛</source>
        <translation>N newton</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>量纲文件缺少[%s]下的%s,量纲未加载!</source>
        <translation>Scaling file section [%s] lacks %s, scaling not loaded!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>子机号：</source>
        <translation>Slave No.: </translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>子机%d</source>
        <translation>Slave %d</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>提示: 子机号选择仅对RUR的网关汇总模式有效,透传模式下请通过主界面Modbus地址指定。</source>
        <translation>Note: the slave selection applies only to RUR gateway summary mode; in pass-through mode set the Modbus address on the main window.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>DI输入</source>
        <translation>DI Inputs</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>DO输出</source>
        <translation>DO Outputs</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读DI</source>
        <translation>Poll DI</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>停止轮读</source>
        <translation>Stop Polling</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>全开</source>
        <translation>All On</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>全关</source>
        <translation>All Off</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读DO</source>
        <translation>Poll DO</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>子站在线状态(该功能仅适用于RUR网关汇总模式)</source>
        <translation>Slave online status (RUR gateway summary mode only)</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读子站在线/掉线</source>
        <translation>Poll slave online/offline</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>加载量纲文件</source>
        <translation>Load Scaling File</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>提示:量纲文件可在QX-TOOLS的执行目录下找到并修改。</source>
        <translation>Note: the scaling file can be found and edited in the QX-TOOLS program folder.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||</source>
        <translation>Config files (*.txt)|*.txt|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AI模拟量采集模块1</source>
        <translation>AI Analog Input Module 1</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AI模拟量采集模块2</source>
        <translation>AI Analog Input Module 2</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>(AD原始读数     —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )</source>
        <translation>(AD raw     -       noise)   x   scale factor       =       scaled value   (   unit  )</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AO模拟量输出模块1</source>
        <translation>AO Analog Output Module 1</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AO模拟量输出模块2</source>
        <translation>AO Analog Output Module 2</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>(DA原始值        —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )</source>
        <translation>(DA raw     -     noise)   x   scale factor     =     scaled value   (   unit  )</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AD原始读数</source>
        <translation>AD raw value</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>噪音</source>
        <translation>Noise</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>量纲系数</source>
        <translation>Scale factor</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>量纲读数</source>
        <translation>Scaled value</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>量纲</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>DA原始值</source>
        <translation>DA raw value</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>通道%d输出</source>
        <translation>Output CH%d</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读AI</source>
        <translation>Poll AI</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>停止轮读AI</source>
        <translation>Stop AI poll</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读AO</source>
        <translation>Poll AO</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>停止轮读AO</source>
        <translation>Stop AO poll</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AI空载去噪</source>
        <translation>AI no-load denoise</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AI满量程标定</source>
        <translation>AI full-scale cal.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AO满量程标定</source>
        <translation>AO full-scale cal.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>提示:去噪及标定功能仅供工厂出厂校准时使用。</source>
        <translation>Note: denoising and calibration are for factory calibration only.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>AO%d的输出值无效,请输入0~65535之间的整数！</source>
        <translation>Output value of AO%d is invalid, enter an integer from 0 to 65535!</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>显示AI趋势(最近10分钟)</source>
        <translation>Show AI trend (last 10 min)</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>时间(秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>时间单位(us/ms/s):</source>
        <translation>Unit (us/ms/s):</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>us微秒</source>
        <translation>us</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>ms毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>s秒</source>
        <translation>s</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>单周期高电平时间(us/ms/s):</source>
        <translation>High time (us/ms/s):</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>单周期低电平时间(us/ms/s):</source>
        <translation>Low time (us/ms/s):</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>PWM频率(HZ):</source>
        <translation>PWM frequency (HZ):</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>占空比(%):</source>
        <translation>Duty cycle (%):</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>Y%d输出PWM</source>
        <translation>Y%d start PWM</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>Y%d输出停止</source>
        <translation>Y%d stop output</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>提示:</source>
        <translation>Note:</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>1.单周期时间=1高电平时间+1低电平时间</source>
        <translation>1. Period = high time + low time</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>2.频率hz=1000000us/单周期时间us</source>
        <translation>2. Frequency hz = 1000000us / period us</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>3.占空比=高电平时间/单周期时间 x 100%</source>
        <translation>3. Duty cycle = high time / period x 100%</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>X脉冲输入计数</source>
        <translation>X pulse input counters</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>X%d计数:</source>
        <translation>X%d count:</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读X1-4</source>
        <translation>Poll X1-4</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>轮读X5-12</source>
        <translation>Poll X5-12</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>读X13~24</source>
        <translation>Read X13~24</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>全部轮读</source>
        <translation>Poll all</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>全部清空</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>提示:1.全部轮读时数据量较大,用时较长,请酌情使用  2.RUR网关只能读取子站X1-X12计数。</source>
        <translation>Note: 1. Polling all moves much data and takes longer, use it with care  2. An RUR gateway reads only the X1-X12 counts of its slaves.</translation>
    </message>
    <message>
        <location filename="../../app/io/io_texts.h"/>
        <source>%s的%s无效,请输入0~65535之间的整数！</source>
        <translation>%s: %s is invalid, enter an integer from 0 to 65535!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>请先新建或加载一个工程(*.qprj)/源码(*.txt)!</source>
        <translation>Create or load a project (*.qprj) / source (*.txt) first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>请先修正程序块中的语法错误!</source>
        <translation>Correct the syntax errors in the program blocks first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;找不到条件块关键字&lt;cond&gt;</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; has no condition area keyword &lt;cond&gt;</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;找不到动作块关键字&lt;act&gt;</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; has no action area keyword &lt;act&gt;</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;时遇到语法错误,该程序块下&lt;cond&gt;未找到任何条件组合</source>
        <translation>Error:&#xd;
Syntax error in program block &lt;program%d&gt;: no condition found under &lt;cond&gt;</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;时遇到语法错误,该程序块下&lt;act&gt;未找到任何动作组合</source>
        <translation>Error:&#xd;
Syntax error in program block &lt;program%d&gt;: no action found under &lt;act&gt;</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件组合块时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in the condition group, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件组合块时遇到语法错误,行尾缺少回车换行!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in the condition group, CR/LF missing at line end!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件来源时遇到语法错误,未设置或错误设置触发条件来源!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in the condition source, trigger source not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件单位类型时遇到语法错误,未设置或错误设置条件源的单位类型!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in the condition unit type, unit type of the condition source not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件运算符时遇到语法错误,未设置或错误设置条件运算符!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in the condition operator, operator not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值a时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value a, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值a时遇到语法错误,a值不能为空</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value a, value a must not be empty</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值b时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value b, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值b时遇到语法错误,b值不能为空</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value b, value b must not be empty</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作组合块时遇到语法错误,至少要设置一条动作组合!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action group, at least one action must be set!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作组合块时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action group, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作组合块时遇到语法错误,行尾缺少回车换行!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action group, CR/LF missing at line end!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作对象时遇到语法错误,未设置或错误设置动作操作对象!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action object, action target not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作单位类型时遇到语法错误,未设置或错误设置动作对象的单位类型!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action unit type, unit type of the action object not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作运算符时遇到语法错误,未设置或错误设置动作运算符!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in the action operator, operator not set or invalid!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值a时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value a, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值a时遇到语法错误,a值不能为空</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value a, value a must not be empty</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值b时遇到语法错误,缺少&quot;{&quot;或&quot;}&quot;!</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value b, missing &quot;{&quot; or &quot;}&quot;!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值b时遇到语法错误,b值不能为空</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value b, value b must not be empty</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值a时遇到语法错误,a值不能超过15个字符</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value a, value a must not exceed 15 characters</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;条件块%d,解析条件值b时遇到语法错误,b值不能超过15个字符</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; condition %d: syntax error in condition value b, value b must not exceed 15 characters</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值a时遇到语法错误,a值不能超过15个字符</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value a, value a must not exceed 15 characters</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
程序块&lt;program%d&gt;动作块%d,解析动作值b时遇到语法错误,b值不能超过15个字符</source>
        <translation>Error:&#xd;
Program block &lt;program%d&gt; action %d: syntax error in action value b, value b must not exceed 15 characters</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误:&#xd;
源码文件过大(%llu字节),源码文件必须小于1048576字节!</source>
        <translation>Error:&#xd;
Source file too large (%llu bytes), it must be smaller than 1048576 bytes!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------正在加载源码文件----------&#xd;
</source>
        <translation>&#xd;
----------Loading source file----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------源码加载失败----------&#xd;
</source>
        <translation>&#xd;
----------Source load failed----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
您接下来需要做:&#xd;
</source>
        <translation>&#xd;
What you need to do next:&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
1.源码存在语法错误,请按提示修改源码并保存,然后点击&quot;刷新并编译&quot;按钮重新加载!&#xd;
</source>
        <translation>&#xd;
1. The source has syntax errors: correct and save it as indicated, then click &quot;Refresh+compile&quot; to reload it!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
2.您也可以重新加载其他工程或源码文件,点击&quot;载入工程或源码&quot;按钮重新选择即可!&#xd;
</source>
        <translation>&#xd;
2. You can also load another project or source file: click &quot;Load project/source&quot; and choose it!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
2.您也可以重新加载其他源码文件,点击&quot;载入源码&quot;按钮重新选择其他源码文件即可!&#xd;
</source>
        <translation>&#xd;
2. You can also load another source file: click &quot;Load source&quot; and choose another source file!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------正在编译工程文件----------&#xd;
</source>
        <translation>&#xd;
----------Compiling project file----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------编译成功----------&#xd;
</source>
        <translation>&#xd;
----------Compiled successfully----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
您接下来可以:&#xd;
</source>
        <translation>&#xd;
What you can do next:&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
1.保存工程到您的电脑上.&#xd;
</source>
        <translation>&#xd;
1. Save the project on your computer.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
2.下载工程到模块的RAM或者FLASH中运行.&#xd;
</source>
        <translation>&#xd;
2. Download the project to the module's RAM or FLASH and run it.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
注意:RAM是无限次读写的(掉电不保存),FLASH仅可编程5000次左右(掉电保存),建议您的程序在RAM中调试成功后,再下载到FLASH中执行！&#xd;
</source>
        <translation>&#xd;
Note: RAM can be written any number of times (lost at power-off), FLASH only about 5000 times (kept at power-off); debug your program in RAM first, then download it to FLASH!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------编译失败----------&#xd;
</source>
        <translation>&#xd;
----------Compile failed----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
1.可能存在参数选择错误,请按编译提示修改工程,然后再次点击&quot;刷新并编译&quot;按钮重新编译!&#xd;
</source>
        <translation>&#xd;
1. Some parameters may be wrong: correct the project as the compiler indicates, then click &quot;Refresh+compile&quot; again to recompile!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
----------正在编译源码文件----------&#xd;
</source>
        <translation>&#xd;
----------Compiling source file----------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
1.生成工程文件并保存到您的电脑上.&#xd;
</source>
        <translation>&#xd;
1. Generate a project file and save it on your computer.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
2.您也可以将生成的工程文件下载到模块的RAM或者FLASH中运行.&#xd;
</source>
        <translation>&#xd;
2. You can also download the generated project file to the module's RAM or FLASH and run it.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
1.源码语法正确,但可能存在参数选择错误,请按编译提示修改源码并保存,然后点击&quot;刷新并编译&quot;按钮重新编译!&#xd;
</source>
        <translation>&#xd;
1. The source syntax is correct, but some parameters may be wrong: correct and save the source as the compiler indicates, then click &quot;Refresh+compile&quot; to recompile!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
program%u控制块正在编译----------------------------------------------------&#xd;
</source>
        <translation>&#xd;
Compiling control block program%u----------------------------------------------------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>  [条件%u]:  </source>
        <translation>  [Condition %u]:  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>  [动作%u]:  </source>
        <translation>  [Action %u]:  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>编译通过!</source>
        <translation>Passed!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符必须为 [=]或[-&gt;]!  </source>
        <translation>Error 1: operator must be [=] or [-&gt;]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:条件值a为开关量输入,必须为 [0]或[1]!  </source>
        <translation>Error 2: condition value a is a digital input, must be [0] or [1]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:条件值b为开关量输入,必须为 [0]或[1]!  </source>
        <translation>Error 3: condition value b is a digital input, must be [0] or [1]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误4:值类型必须为 [dio]!  </source>
        <translation>Error 4: value type must be [dio]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符不能为 [空] 或 [-&gt;]!  </source>
        <translation>Error 1: operator must not be [none] or [-&gt;]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:条件值a的变量号必须介于1(含)-256(含)之间!  </source>
        <translation>Error 2: variable number in condition value a must be from 1 to 256 (inclusive)!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值类型必须为 [cnt] 或 [var]!  </source>
        <translation>Error 3: value type must be [cnt] or [var]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符不能为 [空]或[-&gt;]!  </source>
        <translation>Error 1: operator must not be [none] or [-&gt;]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值类型必须为 [raw]/[mv]/[ma]/[mpa]/[deg]/[rh]/[rat]/[var]!  </source>
        <translation>Error 2: value type must be [raw]/[mv]/[ma]/[mpa]/[deg]/[rh]/[rat]/[var]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:条件值a的变量号必须介于1(含)-256(含)之间!  </source>
        <translation>Error 3: variable number in condition value a must be from 1 to 256 (inclusive)!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误4:编程涉及模拟量输入操作,请先到AI/AO页面加载量纲文件！</source>
        <translation>Error 4: the program uses analog inputs, load a scaling file on the AI/AO page first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误5:模拟量量纲选择与所加载量纲文件不一致！</source>
        <translation>Error 5: the analog unit chosen does not match the loaded scaling file!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符必须为 [=]!  </source>
        <translation>Error 1: operator must be [=]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:条件值a必须为大于0的整数!  </source>
        <translation>Error 2: condition value a must be an integer greater than 0!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值类型必须为 [ms]!  </source>
        <translation>Error 3: value type must be [ms]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误4:与【控制块%u,条件%u】定时器冲突!</source>
        <translation>Error 4: timer conflicts with [block %u, condition %u]!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符必须为 [=]或者[po]! </source>
        <translation>Error 1: operator must be [=] or [po]! </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值a为开关量,必须为 [0]或[1]!  </source>
        <translation>Error 2: value a is digital, must be [0] or [1]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值类型必须为 [dio]!  </source>
        <translation>Error 3: value type must be [dio]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值a为PWM频率(hz),必须小于1000000</source>
        <translation>Error 2: value a is the PWM frequency (hz), must be less than 1000000</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值b为PWM占空比(%),必须介于0.000~100.000之间!</source>
        <translation>Error 3: value b is the PWM duty cycle (%), must be from 0.000 to 100.000!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误4:值类型必须为 [频/占]!  </source>
        <translation>Error 4: value type must be [freq/duty]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符必须为 [=]/[+]/[-]!  </source>
        <translation>Error 1: operator must be [=]/[+]/[-]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值类型必须为 [cnt]!  </source>
        <translation>Error 3: value type must be [cnt]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:编程涉及模拟量操作,请先到AI/AO页面加载量纲文件！</source>
        <translation>Error 3: the program uses analog I/O, load a scaling file on the AI/AO page first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误4:模拟量量纲选择与所加载量纲文件不一致！</source>
        <translation>Error 4: the analog unit chosen does not match the loaded scaling file!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误5:值a的变量号必须介于1(含)-256(含)之间!  </source>
        <translation>Error 5: variable number in value a must be from 1 to 256 (inclusive)!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值类型必须为 [ms]!  </source>
        <translation>Error 2: value type must be [ms]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值类型必须为 [ms]或者[var]!  </source>
        <translation>Error 2: value type must be [ms] or [var]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误3:值a的变量号必须介于1(含)-256(含)之间!  </source>
        <translation>Error 3: variable number in value a must be from 1 to 256 (inclusive)!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误1:运算符必须为 [str]/[strclr]/[rep]!  </source>
        <translation>Error 1: operator must be [str]/[strclr]/[rep]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>错误2:值类型必须为 [none]!  </source>
        <translation>Error 2: value type must be [none]!  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>空</source>
        <translation>none</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>预留</source>
        <translation>reserved</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>%s%d输入</source>
        <translation>%s%d input</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>%s%d计数</source>
        <translation>%s%d counter</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>%s%d外触发定时器</source>
        <translation>%s%d ext-trig timer</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>%s%d自触发定时器</source>
        <translation>%s%d self-trig timer</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>%s%d输出</source>
        <translation>%s%d output</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>dly1延时</source>
        <translation>dly1 delay</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>dio开关量</source>
        <translation>dio digital</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>cnt计数值</source>
        <translation>cnt count</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>raw原始值</source>
        <translation>raw value</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>rat百分比</source>
        <translation>rat percent</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>var变量</source>
        <translation>var variable</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>=等于</source>
        <translation>= equal</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>!=不等于</source>
        <translation>!= not equal</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&gt;大于</source>
        <translation>&gt; greater</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>≥大于等于</source>
        <translation>≥ at least</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&lt;小于</source>
        <translation>&lt; less</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>≤小于等于</source>
        <translation>≤ at most</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>-&gt;从到</source>
        <translation>-&gt; change</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>()介于</source>
        <translation>() between</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>[]包含于</source>
        <translation>[] within</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>(]右包含于</source>
        <translation>(] incl. right</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>[)左包含于</source>
        <translation>[) incl. left</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>+加</source>
        <translation>+ add</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>-减</source>
        <translation>- subtract</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>str存储</source>
        <translation>str store</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>strclr清存储</source>
        <translation>strclr clear store</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>rep上报</source>
        <translation>rep report</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>po脉冲输出</source>
        <translation>po pulse output</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
&lt;program%u&gt;控制块预览-------------------------------------------------------&#xd;
</source>
        <translation>&#xd;
&lt;program%u&gt; block preview-------------------------------------------------------&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>如果 </source>
        <translation>If </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>执行 </source>
        <translation>Do </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 由 %s 到 %s</source>
        <translation> from %s to %s</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 介于 %s 和 %s 之间(不含) </source>
        <translation> between %s and %s (excl.) </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 介于 %s 和 %s 之间(含) </source>
        <translation> between %s and %s (incl.) </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 介于 %s 和 %s 之间(右含) </source>
        <translation> between %s and %s (incl. right) </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 介于 %s 和 %s 之间(左含) </source>
        <translation> between %s and %s (incl. left) </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 运算符空  </source>
        <translation> no operator  </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 操作符空 </source>
        <translation> no operation </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 赋值为 </source>
        <translation> set to </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 递增 </source>
        <translation> increase by </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 递减 </source>
        <translation> decrease by </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 进行存储 </source>
        <translation> store </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 进行清存储 </source>
        <translation> clear store </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 主动上报 </source>
        <translation> report </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 脉冲 </source>
        <translation> pulse </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source> 定时 %ums</source>
        <translation> set to %ums</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>ms延时</source>
        <translation>ms delay</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>var变量ms延时</source>
        <translation>var ms delay</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>频率%u HZ 占空比%s </source>
        <translation>freq %u HZ duty %s </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>注意:密码必须为数字或字母,不超过16个字符</source>
        <translation>Note: the password must be digits or letters, at most 16 characters</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>密码不能为空!</source>
        <translation>Password cannot be empty!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>密码不能超过16个字符!</source>
        <translation>Password cannot exceed 16 characters!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>两次密码不一致!</source>
        <translation>Passwords do not match!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>密码错误!</source>
        <translation>Wrong password!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>保存成功!</source>
        <translation>Saved successfully!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>升级EPLC:正在传送,Block %u,Byte %u&#xd;
</source>
        <translation>EPLC upgrade: sending, Block %u, Byte %u&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>升级EPLC:传送超时,准备重新传送&#xd;
</source>
        <translation>EPLC upgrade: send timeout, retrying&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>EPLC下载已被取消!&#xd;
</source>
        <translation>EPLC download cancelled!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>升级EPLC: 传送失败,准备重新传送,错误码%u.&#xd;
</source>
        <translation>EPLC upgrade: send failed, retrying, error code %u.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>QXP工程文件传输成功!</source>
        <translation>QXP project file transferred successfully!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>QXP工程文件传输失败!</source>
        <translation>QXP project file transfer failed!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>已取消EPLC下载!</source>
        <translation>EPLC download cancelled!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>请先新建或加载一个空白工程!</source>
        <translation>Please create or load an empty project first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>请先选择控制块！</source>
        <translation>Please select a block first!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>&#xd;
提示：新建工程完成!&#xd;
你可以点击选择右侧的编程块开始你的编程啦!&#xd;
编程完成后记得保存工程哦^_^&#xd;
</source>
        <translation>&#xd;
Note: new project created!&#xd;
Click a program block on the right to start programming!&#xd;
Remember to save the project when done ^_^&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>控制块%d [%s%d] %s: &quot;%s&quot; 不是有效的整数,请重新输入!</source>
        <translation>Block %d [%s%d] %s: &quot;%s&quot; is not a valid integer, please re-enter!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>控制块%d [%s%d] %s: &quot;%s&quot; 不是有效的数值,请重新输入!</source>
        <translation>Block %d [%s%d] %s: &quot;%s&quot; is not a valid number, please re-enter!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>条件</source>
        <translation>Condition</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>动作</source>
        <translation>Action</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>条件值a</source>
        <translation>Value a</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>条件值b</source>
        <translation>Value b</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>输出值a</source>
        <translation>Output a</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>输出值b</source>
        <translation>Output b</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>载入工程或源码</source>
        <translation>Load project/source</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>新建工程</source>
        <translation>New project</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>刷新并编译</source>
        <translation>Refresh+compile</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>保存工程</source>
        <translation>Save project</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>下载RAM并运行</source>
        <translation>RAM download, run</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>下载FLASH并运行</source>
        <translation>FLASH download, run</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>下载FLASH并重启</source>
        <translation>FLASH download, restart</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>清空FLASH并重启</source>
        <translation>Clear FLASH, restart</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>取消清空</source>
        <translation>Cancel clear</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>参与运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>禁止运行</source>
        <translation>Disable</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>清空该编程块</source>
        <translation>Clear this block</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>STEP1:单击一个编程块开始编程,绿色为参与运行,蓝色为不参与运行,灰色为空闲,控制器会循环扫描运行绿色控制块。</source>
        <translation>STEP1: Click a program block to start programming. Green: runs, blue: disabled, grey: free. The controller scans and runs the green blocks cyclically.</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>STEP2:对该控制块进行[条件-动作]组合,左侧的条件都满足后,右侧的动作才会按顺序执行,  当前块号:</source>
        <translation>STEP2: Combine [condition-action] rows for this block: when all conditions on the left are met, the actions on the right run in order.  Current block:</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>STEP3:控制块编写完成后,可以:</source>
        <translation>STEP3: When the block is written, you can:</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>圆点选中 [条件/动作] 所在行，可以：</source>
        <translation>With a [condition/action] row selected by its dot, you can: </translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>运算符</source>
        <translation>Operator</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>值类型</source>
        <translation>Value type</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>对象</source>
        <translation>Object</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>工程文件(*.qprj)|*.qprj|源码文件(*.txt)|*.txt||</source>
        <translation>Project files (*.qprj)|*.qprj|Source files (*.txt)|*.txt||</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>工程文件(*.qprj)|*.qprj|所有文件(*.*)|*.*||</source>
        <translation>Project files (*.qprj)|*.qprj|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>编译报告</source>
        <translation>Compile report</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>空闲</source>
        <translation>Free</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>不参与运行</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>传输进度</source>
        <translation>Transfer progress</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>工程传输</source>
        <translation>Project transfer</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>传输分块大小(BYTE):</source>
        <translation>Transfer block size (BYTE):</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>注意:</source>
        <translation>Note:</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>1.调试程序尽量选择RAM下载!</source>
        <translation>1. Prefer RAM download while debugging!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>2.LORA传输请选择64或更小分块!</source>
        <translation>2. Over LORA, choose blocks of 64 or smaller!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>请输入工程密码</source>
        <translation>Enter project password</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>确认密码:</source>
        <translation>Confirm password:</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>1.当前选择源码编程模式!</source>
        <translation>1. Source programming mode is selected!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>2.源码加载后,可点击&quot;刷新并编译&quot;自动加载,无需重复打开源码!</source>
        <translation>2. Once the source is loaded, click &quot;Refresh+compile&quot; to reload it; no need to open the source again!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>3.源码可以生成工程文件,但反向不行!</source>
        <translation>3. Source can generate a project file, but not the other way round!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>1.当前选择可视化编程模式!</source>
        <translation>1. Visual programming mode is selected!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>2.可视化编程后只能生成工程文件,工程文件可保存可加载，但无法反向生成源码文件!</source>
        <translation>2. Visual programming only generates project files; they can be saved and loaded, but not turned back into source files!</translation>
    </message>
    <message>
        <location filename="../../app/plc/plc_texts.h"/>
        <source>3.工程文件修改后请及时编译保存!</source>
        <translation>3. Compile and save the project file promptly after changes!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>通讯设置</source>
        <translation>Connection</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块操作</source>
        <translation>Modules</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>DI/DO操作</source>
        <translation>DI/DO</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>AI/AO操作</source>
        <translation>AI/AO</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>PI/PO操作</source>
        <translation>PI/PO</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>配置模块</source>
        <translation>Configure</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>请先在&quot;通讯设置&quot;页连接模块!</source>
        <translation>Connect a module on the &quot;Connection&quot; page first!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>统计信息</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>总发送指令数(TxCmd):</source>
        <translation>Commands sent (TxCmd):</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>总接收指令数(RxCmd):</source>
        <translation>Commands received (RxCmd):</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>总发送字节数(TxByte):</source>
        <translation>Bytes sent (TxByte):</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>总接收字节数(RxByte):</source>
        <translation>Bytes received (RxByte):</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>清空统计</source>
        <translation>Clear Stats</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>暂停显示</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>继续显示</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>保存日志</source>
        <translation>Save Log</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>日志文件(*.txt)|*.txt|所有文件(*.*)|*.*||</source>
        <translation>Log files (*.txt)|*.txt|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>复制统计</source>
        <translation>Copy Stats</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>如界面不能正常显示,请将显示器分辨率设置为1366*768或1920*1080或与此相近的分辨率后再重新打开本软件!&#xd;
</source>
        <translation>If the window does not display properly, set the screen resolution to 1366*768, 1920*1080 or close to it and restart this software!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>欢迎使用QovtekQX-TOOLS模块配置与测试工具!&#xd;
</source>
        <translation>Welcome to QovtekQX-TOOLS, the module configuration and test tool!&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>技术支持:请联系Qovtek技术服务部门.&#xd;
</source>
        <translation>Technical support: please contact Qovtek technical service.&#xd;
</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>通讯日志</source>
        <translation>Communication log</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>提示：</source>
        <translation>Notice: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>不能销毁上一个句柄！</source>
        <translation>Cannot destroy the previous handle!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>无法加载通讯库 </source>
        <translation>Cannot load communication library </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>通讯库 </source>
        <translation>Communication library </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source> 中缺少函数 </source>
        <translation> lacks function </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>，程序无法启动！</source>
        <translation>, the program cannot start!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口</source>
        <translation>Serial</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>电脑网卡选择：</source>
        <translation>PC network adapter: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>电脑IP选择：</source>
        <translation>PC IP: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块MODBUS地址(1~240)</source>
        <translation>Module MODBUS address (1~240)</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>电脑监听端口：</source>
        <translation>PC listen port: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>监听</source>
        <translation>Listen</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>断开</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>连接状态：</source>
        <translation>Status: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块：</source>
        <translation>Module: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块IP：</source>
        <translation>Module IP: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块端口：</source>
        <translation>Module port: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>电脑端口：</source>
        <translation>PC port: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>本机串口号：</source>
        <translation>Serial port: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>串口波特率：</source>
        <translation>Baud rate: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>数据位：</source>
        <translation>Data bits: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>校验位：</source>
        <translation>Parity: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>停止位：</source>
        <translation>Stop bits: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>固件版本：</source>
        <translation>Firmware version: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>驱动版本：</source>
        <translation>Driver version: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>设备型号：</source>
        <translation>Model: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>设备系列：</source>
        <translation>Series: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>出厂编号：</source>
        <translation>Serial number: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>出厂日期：</source>
        <translation>Manufacture date: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>功能简介：</source>
        <translation>Description: </translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>读取网卡列表失败,将使用本机默认IP地址！</source>
        <translation>Cannot read the network adapter list; the default local IP address will be used!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>无效网卡或无效IP！</source>
        <translation>Invalid network adapter or IP!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>监听失败,请先选择有效网卡或有效IP！</source>
        <translation>Listen failed: select a valid network adapter or IP first!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>监听失败,IP不正确或端口号已被其他程序占用,请尝试更换端口号或重启电脑！</source>
        <translation>Listen failed: the IP is wrong or the port is used by another program. Try another port or restart the PC!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>连接失败,请先选择有效网卡或有效IP！</source>
        <translation>Connection failed: select a valid network adapter or IP first!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>连接失败！</source>
        <translation>Connection failed!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>串口设备路径过长(最多15个字符),请使用更短的路径或建立一个短的链接！</source>
        <translation>Serial device path too long (15 characters at most); use a shorter path or create a short link!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>请先选择或输入串口设备！</source>
        <translation>Select or enter a serial device first!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块IP地址无效,请输入形如192.168.0.105的地址！</source>
        <translation>Invalid module IP address; enter an address like 192.168.0.105!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>端口号无效,请输入0~65535之间的数字！</source>
        <translation>Invalid port number; enter a number in 0~65535!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块MODBUS地址(1~240)无效,请输入1~247之间的十进制数字！</source>
        <translation>Invalid module MODBUS address (1~240); enter a decimal number in 1~247!</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>未连接...</source>
        <translation>Not connected...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>等待模块连入...</source>
        <translation>Waiting for the module to connect...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>正在连接模块,请稍后...</source>
        <translation>Connecting to the module, please wait...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>正在连接模块...</source>
        <translation>Connecting to the module...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>正在断开连接,请稍后...</source>
        <translation>Disconnecting, please wait...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>连接失败</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>模块已连接,正在读取模块基本信息...</source>
        <translation>Module connected, reading module info...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>正在读取模块基本信息...</source>
        <translation>Reading module info...</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>失败,串口不存在或被占用</source>
        <translation>Failed: serial port missing or in use</translation>
    </message>
    <message>
        <location filename="../../app/shell/shell_texts.h"/>
        <source>串口打开成功,正在读取模块基本信息...</source>
        <translation>Serial port opened, reading module info...</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>未知型号！</source>
        <translation>Unknown model!</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>未知描述！</source>
        <translation>Unknown description!</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>(可编程)</source>
        <translation>(programmable)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>金属壳</source>
        <translation>Metal-case</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>2进2出</source>
        <translation>2DI/2DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>开关量模块</source>
        <translation>digital I/O module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>4进4出</source>
        <translation>4DI/4DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>8进8出</source>
        <translation>8DI/8DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>12进12出</source>
        <translation>12DI/12DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>16进16出</source>
        <translation>16DI/16DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>24进24出</source>
        <translation>24DI/24DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>开关量/PWM混合模块</source>
        <translation>digital/PWM mixed module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>24输入</source>
        <translation>24DI</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>24输出</source>
        <translation>24DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>32输入</source>
        <translation>32DI</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>32输出</source>
        <translation>32DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>40输入</source>
        <translation>40DI</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>40输出</source>
        <translation>40DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>48输入</source>
        <translation>48DI</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>48输出</source>
        <translation>48DO</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>开关量模拟量混合模块</source>
        <translation>digital/analog mixed module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>模拟量采集模块</source>
        <translation>analog input module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>模拟量输出模块</source>
        <translation>analog output module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>网口</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转以太网网关模块(云联版)</source>
        <translation>Serial-to-Ethernet gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转WIFI网关模块(云联版)</source>
        <translation>Serial-to-WIFI gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转4G5G网关模块(云联版)</source>
        <translation>Serial-to-4G/5G gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>LORA转以太网网关模块(云联版)</source>
        <translation>LORA-to-Ethernet gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>LORA转WIFI网关模块(云联版)</source>
        <translation>LORA-to-WIFI gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>LORA转4G5G网关模块(云联版)</source>
        <translation>LORA-to-4G/5G gateway module (cloud edition)</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转以太网网关模块</source>
        <translation>Serial-to-Ethernet gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>以太网网关模块</source>
        <translation>Ethernet gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转WIFI网关模块</source>
        <translation>Serial-to-WIFI gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口转LORA网关模块</source>
        <translation>Serial-to-LORA gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>以太网转LORA网关模块</source>
        <translation>Ethernet-to-LORA gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>WIFI转LORA网关模块</source>
        <translation>WIFI-to-LORA gateway module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口IO控制卡</source>
        <translation>Serial IO control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>以太网IO控制卡</source>
        <translation>Ethernet IO control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>WIFI无线IO控制卡</source>
        <translation>WIFI wireless IO control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>LORA无线IO控制卡</source>
        <translation>LORA wireless IO control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>RUR 串口-以太网总线模块</source>
        <translation>RUR Serial-Ethernet bus module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>RUR 串口-LORA总线模块</source>
        <translation>RUR Serial-LORA bus module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>RUR 以太网-LORA总线模块</source>
        <translation>RUR Ethernet-LORA bus module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>RUR WIFI-LORA总线模块</source>
        <translation>RUR WIFI-LORA bus module</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>串口AD/DA控制卡</source>
        <translation>Serial AD/DA control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>以太网AD/DA控制卡</source>
        <translation>Ethernet AD/DA control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>WIFI无线AD/DA控制卡</source>
        <translation>WIFI wireless AD/DA control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/model_catalogue.cpp"/>
        <source>LORA无线AD/DA控制卡</source>
        <translation>LORA wireless AD/DA control card</translation>
    </message>
    <message>
        <location filename="../../lib/engine/statistics_record.h"/>
        <source>发送数据(HEX):</source>
        <translation>Sent (HEX):</translation>
    </message>
    <message>
        <location filename="../../lib/engine/statistics_record.h"/>
        <source>接收数据(HEX):</source>
        <translation>Received (HEX):</translation>
    </message>
</context>
</TS>
