<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CDialog</name>
    <message>
        <location filename="../../src/widgets/CDialog.cpp" line="67" />
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CProgressDialog</name>
    <message>
        <location filename="../../src/widgets/CProgressDialog.cpp" line="88" />
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="204" />
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="205" />
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="206" />
        <source>Theme</source>
        <translation>Theme</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="207" />
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="208" />
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="209" />
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="210" />
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="211" />
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="51" />
        <source>Too many arguments: only one PORT can be opened (got %1).</source>
        <translation>Too many arguments: only one PORT can be opened (got %1).</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="56" />
        <source>The PORT argument is empty.</source>
        <translation>The PORT argument is empty.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="62" />
        <source>--baud is given more than once.</source>
        <translation>--baud is given more than once.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="68" />
        <source>Invalid baud rate "%1": expected a positive whole number.</source>
        <translation>Invalid baud rate "%1": expected a positive whole number.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="70" />
        <source>--baud needs a PORT to open.</source>
        <translation>--baud needs a PORT to open.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="83" />
        <source>Usage: corvane [PORT] [--baud N]

Corvane %1, a workbench for serial-port engineers.

Arguments:
  PORT           port to select and open at start: a name such as ttyUSB0,
                 or a device path such as /dev/ttyUSB0, /dev/pts/3 or /tmp/ttyV0

Options:
  --baud N       baud rate for PORT (a positive whole number);
                 without it the last used rate applies
  -h, --help     show this help and exit
  -v, --version  print the version and exit
</source>
        <translation>Usage: corvane [PORT] [--baud N]

Corvane %1, a workbench for serial-port engineers.

Arguments:
  PORT           port to select and open at start: a name such as ttyUSB0,
                 or a device path such as /dev/ttyUSB0, /dev/pts/3 or /tmp/ttyV0

Options:
  --baud N       baud rate for PORT (a positive whole number);
                 without it the last used rate applies
  -h, --help     show this help and exit
  -v, --version  print the version and exit
</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="119" />
        <source>Try 'corvane --help' for more information.</source>
        <translation>Try 'corvane --help' for more information.</translation>
    </message>
</context>
<context>
    <name>DemoDevice</name>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="142" />
        <source>replaced an old link at %1</source>
        <translation>replaced an old link at %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="348" />
        <source>command: %1</source>
        <translation>command: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="436" />
        <source>burst of %1 bytes</source>
        <translation>burst of %1 bytes</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="496" />
        <source>unplugged: %1 removed for %2 s</source>
        <translation>unplugged: %1 removed for %2 s</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="507" />
        <source>cannot come back at %1: %2</source>
        <translation>cannot come back at %1: %2</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="511" />
        <source>plugged in again: %1 -&gt; %2</source>
        <translation>plugged in again: %1 -&gt; %2</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="573" />
        <source>%1 wave frames dropped: the client reads too slowly</source>
        <translation>%1 wave frames dropped: the client reads too slowly</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="584" />
        <source>nobody reads the line: %1 bytes of output discarded</source>
        <translation>nobody reads the line: %1 bytes of output discarded</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="653" />
        <source>%1: handing the line to %2</source>
        <translation>%1: handing the line to %2</translation>
    </message>
</context>
<context>
    <name>FrameAssemblerWidget</name>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="248" />
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="399" />
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="256" />
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="264" />
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="396" />
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="402" />
        <source>%1-bit</source>
        <translation>%1-bit</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="307" />
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="324" />
        <source>Error: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="312" />
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="354" />
        <source>Describe:</source>
        <translation>Describe:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="354" />
        <source>Protocol Describe:</source>
        <translation>Protocol Describe:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="369" />
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="370" />
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="371" />
        <source>Open Protocol Folder</source>
        <translation>Open Protocol Folder</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="372" />
        <source>Reload Protocols</source>
        <translation>Reload Protocols</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="373" />
        <source>No protocol loaded</source>
        <translation>No protocol loaded</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="374" />
        <source>Preview:</source>
        <translation>Preview:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="375" />
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="410" />
        <source>var</source>
        <translation>var</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="410" />
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
</context>
<context>
    <name>FrameBuilder</name>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="27" />
        <source>Field '%1': invalid value '%2'</source>
        <translation>Field '%1': invalid value '%2'</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="30" />
        <source>Field '%1': value %2 exceeds %3-bit max (%4)</source>
        <translation>Field '%1': value %2 exceeds %3-bit max (%4)</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="107" />
        <source>Field '%1' expects %2 bytes, got %3</source>
        <translation>Field '%1' expects %2 bytes, got %3</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="162" />
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="172" />
        <source>Field '%1': checksum data exceeds %2 bytes</source>
        <translation>Field '%1': checksum data exceeds %2 bytes</translation>
    </message>
</context>
<context>
    <name>InputBox</name>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="70" />
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="71" />
        <source>Send (Ctrl+Enter)</source>
        <translation>Send (Ctrl+Enter)</translation>
    </message>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="72" />
        <source>Clear History</source>
        <translation>Clear History</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="144" />
        <source>LOG</source>
        <translation>LOG</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="145" />
        <source>Highlighter</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="146" />
        <source>Auto Scroll</source>
        <translation>Auto Scroll</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="147" />
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="148" />
        <source>Save Log to File</source>
        <translation>Save Log to File</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="149" />
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="150" />
        <source>Clear log</source>
        <translation>Clear log</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="51" />
        <source>亮色主题</source>
        <translation>Light</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="52" />
        <source>暖色终端主题</source>
        <translation>Warm Terminal</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="53" />
        <source>午夜信号主题</source>
        <translation>Midnight Signal</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="54" />
        <source>森林实验室主题</source>
        <translation>Forest Lab</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="55" />
        <source>暗色主题</source>
        <translation>Dark</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="56" />
        <source>深紫主题</source>
        <translation>Dark  Purple</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="57" />
        <source>翡翠绿主题</source>
        <translation>Dark Green</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="226" />
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="227" />
        <source>简体中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265" />
        <source>User Guide</source>
        <translation>User Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265" />
        <source>Custom Protocol Guide</source>
        <translation>Custom Protocol Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265" />
        <source>Lua Script API Guide</source>
        <translation>Lua Script API Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="277" />
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="278" />
        <source>About Qt</source>
        <translation>About Qt</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="317" />
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="318" />
        <location filename="../../src/app/MainWindow.cpp" line="337" />
        <source>Rx: %1 Bytes</source>
        <translation>Rx: %1 Bytes</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="319" />
        <location filename="../../src/app/MainWindow.cpp" line="343" />
        <source>Tx: %1 Bytes</source>
        <translation>Tx: %1 Bytes</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="320" />
        <source>Version: v%1</source>
        <translation>Version: v%1</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="348" />
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>ProtocolFileReader</name>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="157" />
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="176" />
        <source>JSON error: %1</source>
        <translation>JSON error: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="187" />
        <source>Protocol name is required</source>
        <translation>Protocol name is required</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="199" />
        <source>Protocol has no fields defined</source>
        <translation>Protocol has no fields defined</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="232" />
        <source>Field '%1': 'over' covers too many fields</source>
        <translation>Field '%1': 'over' covers too many fields</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="244" />
        <source>Duplicate field name: %1</source>
        <translation>Duplicate field name: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="247" />
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="252" />
        <source>Field '%1' references unknown field '%2'</source>
        <translation>Field '%1' references unknown field '%2'</translation>
    </message>
</context>
<context>
    <name>RxSettingWidget</name>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="169" />
        <source>Rx Settings</source>
        <translation>Rx Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="170" />
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="171" />
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="172" />
        <source>Bytes per line</source>
        <translation>Bytes per line</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="173" />
        <source>Auto Wrap</source>
        <translation>Auto Wrap</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="174" />
        <source>Show Send</source>
        <translation>Show Send</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="175" />
        <source>Show Timestamp</source>
        <translation>Show Timestamp</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="176" />
        <source>Show Log</source>
        <translation>Show Log</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="177" />
        <source>Output Log To File</source>
        <translation>Output Log To File</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="178" />
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
</context>
<context>
    <name>SerialParamWidget</name>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="308" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="659" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="662" />
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="365" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="388" />
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="365" />
        <source>please instert a device</source>
        <translation>please instert a device</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="388" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="458" />
        <source>Failed to open serial port: %1</source>
        <translation>Failed to open serial port: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="399" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="532" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="655" />
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="463" />
        <source>Serial port write error: %1</source>
        <translation>Serial port write error: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="485" />
        <source>Serial port error [%1]: %2</source>
        <translation>Serial port error [%1]: %2</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="511" />
        <source>Reconnect Counter: %1</source>
        <translation>Reconnect Counter: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="545" />
        <source>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</source>
        <translation>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="647" />
        <source>Port Settings</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="648" />
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="649" />
        <source>Baudrate:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="650" />
        <source>Data Bits:</source>
        <translation>Data Bits:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="651" />
        <source>Parity:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="652" />
        <source>Stop Bits:</source>
        <translation>Stop Bits:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="653" />
        <source>Flow Ctrl:</source>
        <translation>Flow Ctrl:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="654" />
        <source>Open/Close Serial port</source>
        <translation>Open/Close Serial port</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="655" />
        <location filename="../../src/serial/SerialParamWidget.cpp" line="667" />
        <source>Open</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <location filename="../../src/session/Session.cpp" line="55" />
        <source>Multi Line Send</source>
        <translation>Multi Line Send</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="56" />
        <source>File Transmision</source>
        <translation>File Transmision</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="57" />
        <source>Chart</source>
        <translation>Chart</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="58" />
        <source>Lua Script</source>
        <translation>Lua Script</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="59" />
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="60" />
        <source>Waveform Data Generator</source>
        <translation>Waveform Data Generator</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="347" />
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="348" />
        <source>清除Log</source>
        <translation>Clear Log</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="349" />
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="350" />
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="351" />
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="352" />
        <source>Waveform</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="353" />
        <source>Hex Sample:11 22 33 44... or 1122334455...</source>
        <translation>Hex Sample:11 22 33 44... or 1122334455...</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="354" />
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="330" />
        <location filename="../../src/session/Session.cpp" line="368" />
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="387" />
        <source>Serial port not found: %1</source>
        <translation>Serial port not found: %1</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="510" />
        <source>Open log file failed!
</source>
        <translation>Open log file failed!
</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="542" />
        <location filename="../../src/session/Session.cpp" line="550" />
        <location filename="../../src/session/Session.cpp" line="558" />
        <source>Log save failed!</source>
        <translation>Log save failed!</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="568" />
        <source>Log is empty.</source>
        <translation>Log is empty.</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="571" />
        <source>Log Save</source>
        <translation>Log Save</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="611" />
        <location filename="../../src/session/Session.cpp" line="643" />
        <location filename="../../src/session/Session.cpp" line="694" />
        <source>Please open serial port!</source>
        <translation>Please open serial port!</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="70" />
        <source>选择Log保存文件夹</source>
        <translation>Select Log Folder</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="104" />
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="105" />
        <source>Output Log Configuration:</source>
        <translation>Output Log Configuration:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="106" />
        <source>Log保存路径:</source>
        <translation>Log Save Path:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="107" />
        <source>更改目录</source>
        <translation>Change Folder</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="108" />
        <source>Log文件名:</source>
        <translation>Log File Name:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="109" />
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ShortcutInfoWidget</name>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="19" />
        <source>Start / stop waveform recording (waveform panel visible)</source>
        <translation>Start / stop waveform recording (waveform panel visible)</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="20" />
        <source>Waveform: create cursor pair</source>
        <translation>Waveform: create cursor pair</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="21" />
        <source>Waveform: region selection mode</source>
        <translation>Waveform: region selection mode</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="22" />
        <source>Waveform: cancel selection / exit region mode / exit cursor creation</source>
        <translation>Waveform: cancel selection / exit region mode / exit cursor creation</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="25" />
        <source>Waveform: zoom Y axis of the channel under mouse</source>
        <translation>Waveform: zoom Y axis of the channel under mouse</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="26" />
        <source>Send input box: copy</source>
        <translation>Send input box: copy</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="27" />
        <source>Send input box: paste</source>
        <translation>Send input box: paste</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="28" />
        <source>Lua Code Editor: save</source>
        <translation>Lua Code Editor: save</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="76" />
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="77" />
        <source>Key</source>
        <translation>Key</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="77" />
        <source>Description</source>
        <translation>Description</translation>
    </message>
</context>
<context>
    <name>SkinManager</name>
    <message>
        <location filename="../../src/widgets/SkinManager.cpp" line="52" />
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../../src/widgets/SkinManager.cpp" line="52" />
        <source>Style File load failed...</source>
        <translation>Style File load failed...</translation>
    </message>
</context>
<context>
    <name>TxSettingWidget</name>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="125" />
        <source>Tx Settings</source>
        <translation>Tx Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="126" />
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="127" />
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="128" />
        <source>Send New Line</source>
        <translation>Send New Line</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="129" />
        <source>Repeat Send</source>
        <translation>Repeat Send</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="130" />
        <source>ms</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>VersionInfoWidget</name>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="60" />
        <source>&lt;span style='font-weight:bold;'&gt;Name :&lt;/span&gt; CVN</source>
        <translation>&lt;span style='font-weight:bold;'&gt;Name :&lt;/span&gt; CVN</translation>
    </message>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="61" />
        <source>&lt;span style='font-weight:bold;'&gt;Version :&lt;/span&gt; v%1</source>
        <translation>&lt;span style='font-weight:bold;'&gt;Version :&lt;/span&gt; v%1</translation>
    </message>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="62" />
        <source>Check for Updates</source>
        <translation>Check for Updates</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../src/demo/main.cpp" line="20" />
        <source>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</source>
        <translation>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="29" />
        <source>Publish the line at &lt;path&gt; (default %1).</source>
        <translation>Publish the line at &lt;path&gt; (default %1).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="34" />
        <source>Wave frames per second, %1..%2 (default %3).</source>
        <translation>Wave frames per second, %1..%2 (default %3).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="40" />
        <source>Stream wave frames from the start.</source>
        <translation>Stream wave frames from the start.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="42" />
        <source>No periodic log lines.</source>
        <translation>No periodic log lines.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="45" />
        <source>Store received files in &lt;dir&gt; (default: current directory).</source>
        <translation>Store received files in &lt;dir&gt; (default: current directory).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="55" />
        <source>invalid --rate: %1</source>
        <translation>invalid --rate: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="61" />
        <source>--path must not be empty</source>
        <translation>--path must not be empty</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="76" />
        <source>signal %1: removing %2 and exiting</source>
        <translation>signal %1: removing %2 and exiting</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="83" />
        <source>cannot start the demo device: %1</source>
        <translation>cannot start the demo device: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="90" />
        <source>demo device ready at %1 (%2)</source>
        <translation>demo device ready at %1 (%2)</translation>
    </message>
</context>
</TS>
