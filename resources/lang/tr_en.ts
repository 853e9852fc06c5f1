<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ByteSizeText</name>
    <message>
        <location filename="../../src/transfer/core/ByteSizeText.cpp" line="9"/>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ByteSizeText.cpp" line="11"/>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ByteSizeText.cpp" line="13"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ByteSizeText.cpp" line="14"/>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
</context>
<context>
    <name>CDialog</name>
    <message>
        <location filename="../../src/widgets/CDialog.cpp" line="67"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CProgressDialog</name>
    <message>
        <location filename="../../src/widgets/CProgressDialog.cpp" line="88"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="204"/>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="205"/>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="206"/>
        <source>Theme</source>
        <translation>Theme</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="207"/>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="208"/>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="209"/>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="210"/>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <location filename="../../src/widgets/CTitleBar.cpp" line="211"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="51"/>
        <source>Too many arguments: only one PORT can be opened (got %1).</source>
        <translation>Too many arguments: only one PORT can be opened (got %1).</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="56"/>
        <source>The PORT argument is empty.</source>
        <translation>The PORT argument is empty.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="62"/>
        <source>--baud is given more than once.</source>
        <translation>--baud is given more than once.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="68"/>
        <source>Invalid baud rate &quot;%1&quot;: expected a positive whole number.</source>
        <translation>Invalid baud rate &quot;%1&quot;: expected a positive whole number.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="70"/>
        <source>--baud needs a PORT to open.</source>
        <translation>--baud needs a PORT to open.</translation>
    </message>
    <message>
        <location filename="../../src/app/CommandLine.cpp" line="83"/>
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
        <location filename="../../src/app/CommandLine.cpp" line="119"/>
        <source>Try &apos;corvane --help&apos; for more information.</source>
        <translation>Try &apos;corvane --help&apos; for more information.</translation>
    </message>
</context>
<context>
    <name>CsvProtocolParser</name>
    <message>
        <location filename="../../src/waveform/core/CsvProtocolParser.cpp" line="95"/>
        <source>Empty CSV frame</source>
        <translation>Empty CSV frame</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/CsvProtocolParser.cpp" line="109"/>
        <source>CSV frame too long, discarded</source>
        <translation>CSV frame too long, discarded</translation>
    </message>
</context>
<context>
    <name>DemoDevice</name>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="142"/>
        <source>replaced an old link at %1</source>
        <translation>replaced an old link at %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="348"/>
        <source>command: %1</source>
        <translation>command: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="436"/>
        <source>burst of %1 bytes</source>
        <translation>burst of %1 bytes</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="496"/>
        <source>unplugged: %1 removed for %2 s</source>
        <translation>unplugged: %1 removed for %2 s</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="507"/>
        <source>cannot come back at %1: %2</source>
        <translation>cannot come back at %1: %2</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="511"/>
        <source>plugged in again: %1 -&gt; %2</source>
        <translation>plugged in again: %1 -&gt; %2</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="573"/>
        <source>%1 wave frames dropped: the client reads too slowly</source>
        <translation>%1 wave frames dropped: the client reads too slowly</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="584"/>
        <source>nobody reads the line: %1 bytes of output discarded</source>
        <translation>nobody reads the line: %1 bytes of output discarded</translation>
    </message>
    <message>
        <location filename="../../src/demo/DemoDevice.cpp" line="653"/>
        <source>%1: handing the line to %2</source>
        <translation>%1: handing the line to %2</translation>
    </message>
</context>
<context>
    <name>FileTransimisionWidget</name>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="86"/>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="258"/>
        <source>0 KB/s</source>
        <translation>0 KB/s</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="208"/>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="213"/>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="208"/>
        <source>Please open serial port!</source>
        <translation>Please open serial port!</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="213"/>
        <source>Please select a file!</source>
        <translation>Please select a file!</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="308"/>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="308"/>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="320"/>
        <source>File Transimision</source>
        <translation>File Transimision</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="321"/>
        <source>File Select:</source>
        <translation>File Select:</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="322"/>
        <source>Protocol Select:</source>
        <translation>Protocol Select:</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="323"/>
        <source>Interval:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="324"/>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="325"/>
        <source>Block Size:</source>
        <translation>Block Size:</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="326"/>
        <source>Bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="327"/>
        <source>Progress:</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <location filename="../../src/transfer/panel/FileTransimisionWidget.cpp" line="328"/>
        <source>Enable Log</source>
        <translation>Enable Log</translation>
    </message>
</context>
<context>
    <name>FileTransmission</name>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="73"/>
        <source>No file selected…</source>
        <translation>No file selected…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="90"/>
        <source>Plain Text</source>
        <translation>Plain Text</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="90"/>
        <source>Raw Binary</source>
        <translation>Raw Binary</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="90"/>
        <source>XMODEM-CRC</source>
        <translation>XMODEM-CRC</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="91"/>
        <source>XMODEM-1K</source>
        <translation>XMODEM-1K</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="91"/>
        <source>YMODEM</source>
        <translation>YMODEM</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="91"/>
        <source>ZMODEM</source>
        <translation>ZMODEM</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="97"/>
        <source>%1 B/s</source>
        <translation>%1 B/s</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="99"/>
        <source>%1 MB/s</source>
        <translation>%1 MB/s</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="100"/>
        <source>%1 KB/s</source>
        <translation>%1 KB/s</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="122"/>
        <source>Select file to transmit</source>
        <translation>Select file to transmit</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="151"/>
        <source>Not a regular file</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="160"/>
        <source>Error opening file: %1</source>
        <translation>Error opening file: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="170"/>
        <source>File selected: %1 (%2 bytes)</source>
        <translation>File selected: %1 (%2 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="224"/>
        <source>Starting %1 transfer…</source>
        <translation>Starting %1 transfer…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="295"/>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="313"/>
        <source>Transmission complete</source>
        <translation>Transmission complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="296"/>
        <source>Plain text transmission complete</source>
        <translation>Plain text transmission complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="314"/>
        <source>Raw binary transmission complete (%1 bytes)</source>
        <translation>Raw binary transmission complete (%1 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="324"/>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="325"/>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="372"/>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="373"/>
        <source>Transfer failed: %1</source>
        <translation>Transfer failed: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="369"/>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/FileTransmission.cpp" line="370"/>
        <source>Transfer completed successfully (%1 bytes)</source>
        <translation>Transfer completed successfully (%1 bytes)</translation>
    </message>
</context>
<context>
    <name>FrameAssemblerWidget</name>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="248"/>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="399"/>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="256"/>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="264"/>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="396"/>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="402"/>
        <source>%1-bit</source>
        <translation>%1-bit</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="307"/>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="324"/>
        <source>Error: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="312"/>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="354"/>
        <source>Describe:</source>
        <translation>Describe:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="354"/>
        <source>Protocol Describe:</source>
        <translation>Protocol Describe:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="369"/>
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="370"/>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="371"/>
        <source>Open Protocol Folder</source>
        <translation>Open Protocol Folder</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="372"/>
        <source>Reload Protocols</source>
        <translation>Reload Protocols</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="373"/>
        <source>No protocol loaded</source>
        <translation>No protocol loaded</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="374"/>
        <source>Preview:</source>
        <translation>Preview:</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="375"/>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="410"/>
        <source>var</source>
        <translation>var</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameAssemblerWidget.cpp" line="410"/>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
</context>
<context>
    <name>FrameBuilder</name>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="27"/>
        <source>Field &apos;%1&apos;: invalid value &apos;%2&apos;</source>
        <translation>Field &apos;%1&apos;: invalid value &apos;%2&apos;</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="30"/>
        <source>Field &apos;%1&apos;: value %2 exceeds %3-bit max (%4)</source>
        <translation>Field &apos;%1&apos;: value %2 exceeds %3-bit max (%4)</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="107"/>
        <source>Field &apos;%1&apos; expects %2 bytes, got %3</source>
        <translation>Field &apos;%1&apos; expects %2 bytes, got %3</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="162"/>
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/FrameBuilder.cpp" line="172"/>
        <source>Field &apos;%1&apos;: checksum data exceeds %2 bytes</source>
        <translation>Field &apos;%1&apos;: checksum data exceeds %2 bytes</translation>
    </message>
</context>
<context>
    <name>InputBox</name>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="70"/>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="71"/>
        <source>Send (Ctrl+Enter)</source>
        <translation>Send (Ctrl+Enter)</translation>
    </message>
    <message>
        <location filename="../../src/widgets/InputBox.cpp" line="72"/>
        <source>Clear History</source>
        <translation>Clear History</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="142"/>
        <source>LOG</source>
        <translation>LOG</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="143"/>
        <source>Highlighter</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="144"/>
        <source>Auto Scroll</source>
        <translation>Auto Scroll</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="145"/>
        <source>Save Log to File</source>
        <translation>Save Log to File</translation>
    </message>
    <message>
        <location filename="../../src/logview/LogWidget.cpp" line="146"/>
        <source>Clear log</source>
        <translation>Clear log</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="51"/>
        <source>亮色主题</source>
        <translation>Light</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="52"/>
        <source>暖色终端主题</source>
        <translation>Warm Terminal</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="53"/>
        <source>午夜信号主题</source>
        <translation>Midnight Signal</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="54"/>
        <source>森林实验室主题</source>
        <translation>Forest Lab</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="55"/>
        <source>暗色主题</source>
        <translation>Dark</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="56"/>
        <source>深紫主题</source>
        <translation>Dark  Purple</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="57"/>
        <source>翡翠绿主题</source>
        <translation>Dark Green</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="226"/>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="227"/>
        <source>简体中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265"/>
        <source>User Guide</source>
        <translation>User Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265"/>
        <source>Custom Protocol Guide</source>
        <translation>Custom Protocol Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="265"/>
        <source>Lua Script API Guide</source>
        <translation>Lua Script API Guide</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="277"/>
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="278"/>
        <source>About Qt</source>
        <translation>About Qt</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="317"/>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="318"/>
        <location filename="../../src/app/MainWindow.cpp" line="337"/>
        <source>Rx: %1 Bytes</source>
        <translation>Rx: %1 Bytes</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="319"/>
        <location filename="../../src/app/MainWindow.cpp" line="343"/>
        <source>Tx: %1 Bytes</source>
        <translation>Tx: %1 Bytes</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="320"/>
        <source>Version: v%1</source>
        <translation>Version: v%1</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="348"/>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>ProtocolFileReader</name>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="157"/>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="176"/>
        <source>JSON error: %1</source>
        <translation>JSON error: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="187"/>
        <source>Protocol name is required</source>
        <translation>Protocol name is required</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="199"/>
        <source>Protocol has no fields defined</source>
        <translation>Protocol has no fields defined</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="232"/>
        <source>Field &apos;%1&apos;: &apos;over&apos; covers too many fields</source>
        <translation>Field &apos;%1&apos;: &apos;over&apos; covers too many fields</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="244"/>
        <source>Duplicate field name: %1</source>
        <translation>Duplicate field name: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="247"/>
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <location filename="../../src/protocol/ProtocolFileReader.cpp" line="252"/>
        <source>Field &apos;%1&apos; references unknown field &apos;%2&apos;</source>
        <translation>Field &apos;%1&apos; references unknown field &apos;%2&apos;</translation>
    </message>
</context>
<context>
    <name>RxSettingWidget</name>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="170"/>
        <source>Rx Settings</source>
        <translation>Rx Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="171"/>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="172"/>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="173"/>
        <source>Bytes per line</source>
        <translation>Bytes per line</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="174"/>
        <source>Auto Wrap</source>
        <translation>Auto Wrap</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="175"/>
        <source>Show Send</source>
        <translation>Show Send</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="176"/>
        <source>Show Timestamp</source>
        <translation>Show Timestamp</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="177"/>
        <source>Show Log</source>
        <translation>Show Log</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="178"/>
        <source>Output Log To File</source>
        <translation>Output Log To File</translation>
    </message>
    <message>
        <location filename="../../src/session/RxSettingWidget.cpp" line="179"/>
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
</context>
<context>
    <name>SerialParamWidget</name>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="308"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="659"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="662"/>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="365"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="388"/>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="365"/>
        <source>please instert a device</source>
        <translation>please instert a device</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="388"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="458"/>
        <source>Failed to open serial port: %1</source>
        <translation>Failed to open serial port: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="399"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="532"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="655"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="463"/>
        <source>Serial port write error: %1</source>
        <translation>Serial port write error: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="485"/>
        <source>Serial port error [%1]: %2</source>
        <translation>Serial port error [%1]: %2</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="511"/>
        <source>Reconnect Counter: %1</source>
        <translation>Reconnect Counter: %1</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="545"/>
        <source>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</source>
        <translation>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="647"/>
        <source>Port Settings</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="648"/>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="649"/>
        <source>Baudrate:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="650"/>
        <source>Data Bits:</source>
        <translation>Data Bits:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="651"/>
        <source>Parity:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="652"/>
        <source>Stop Bits:</source>
        <translation>Stop Bits:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="653"/>
        <source>Flow Ctrl:</source>
        <translation>Flow Ctrl:</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="654"/>
        <source>Open/Close Serial port</source>
        <translation>Open/Close Serial port</translation>
    </message>
    <message>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="655"/>
        <location filename="../../src/serial/SerialParamWidget.cpp" line="667"/>
        <source>Open</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <location filename="../../src/session/Session.cpp" line="68"/>
        <source>Multi Line Send</source>
        <translation>Multi Line Send</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="69"/>
        <source>File Transmision</source>
        <translation>File Transmision</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="70"/>
        <source>Chart</source>
        <translation>Chart</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="71"/>
        <source>Lua Script</source>
        <translation>Lua Script</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="72"/>
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="73"/>
        <source>Waveform Data Generator</source>
        <translation>Waveform Data Generator</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="184"/>
        <source>Channel %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="447"/>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="448"/>
        <source>清除Log</source>
        <translation>Clear Log</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="449"/>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="450"/>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="451"/>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="452"/>
        <source>Waveform</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="453"/>
        <source>Hex Sample:11 22 33 44... or 1122334455...</source>
        <translation>Hex Sample:11 22 33 44... or 1122334455...</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="454"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../../src/app/MainWindow.cpp" line="330"/>
        <location filename="../../src/session/Session.cpp" line="468"/>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="487"/>
        <source>Serial port not found: %1</source>
        <translation>Serial port not found: %1</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="611"/>
        <source>Open log file failed!
</source>
        <translation>Open log file failed!
</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="643"/>
        <location filename="../../src/session/Session.cpp" line="651"/>
        <location filename="../../src/session/Session.cpp" line="659"/>
        <source>Log save failed!</source>
        <translation>Log save failed!</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="669"/>
        <source>Log is empty.</source>
        <translation>Log is empty.</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="672"/>
        <source>Log Save</source>
        <translation>Log Save</translation>
    </message>
    <message>
        <location filename="../../src/session/Session.cpp" line="712"/>
        <location filename="../../src/session/Session.cpp" line="744"/>
        <location filename="../../src/session/Session.cpp" line="795"/>
        <source>Please open serial port!</source>
        <translation>Please open serial port!</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="70"/>
        <source>选择Log保存文件夹</source>
        <translation>Select Log Folder</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="104"/>
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="105"/>
        <source>Output Log Configuration:</source>
        <translation>Output Log Configuration:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="106"/>
        <source>Log保存路径:</source>
        <translation>Log Save Path:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="107"/>
        <source>更改目录</source>
        <translation>Change Folder</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="108"/>
        <source>Log文件名:</source>
        <translation>Log File Name:</translation>
    </message>
    <message>
        <location filename="../../src/session/SettingWidget.cpp" line="109"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ShortcutInfoWidget</name>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="19"/>
        <source>Start / stop waveform recording (waveform panel visible)</source>
        <translation>Start / stop waveform recording (waveform panel visible)</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="20"/>
        <source>Waveform: create cursor pair</source>
        <translation>Waveform: create cursor pair</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="21"/>
        <source>Waveform: region selection mode</source>
        <translation>Waveform: region selection mode</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="22"/>
        <source>Waveform: cancel selection / exit region mode / exit cursor creation</source>
        <translation>Waveform: cancel selection / exit region mode / exit cursor creation</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="25"/>
        <source>Waveform: zoom Y axis of the channel under mouse</source>
        <translation>Waveform: zoom Y axis of the channel under mouse</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="26"/>
        <source>Send input box: copy</source>
        <translation>Send input box: copy</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="27"/>
        <source>Send input box: paste</source>
        <translation>Send input box: paste</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="28"/>
        <source>Lua Code Editor: save</source>
        <translation>Lua Code Editor: save</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="76"/>
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="77"/>
        <source>Key</source>
        <translation>Key</translation>
    </message>
    <message>
        <location filename="../../src/app/ShortcutInfoWidget.cpp" line="77"/>
        <source>Description</source>
        <translation>Description</translation>
    </message>
</context>
<context>
    <name>SkinManager</name>
    <message>
        <location filename="../../src/widgets/SkinManager.cpp" line="52"/>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../../src/widgets/SkinManager.cpp" line="52"/>
        <source>Style File load failed...</source>
        <translation>Style File load failed...</translation>
    </message>
</context>
<context>
    <name>TimeAxis</name>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="115"/>
        <source> ns</source>
        <translation> ns</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="117"/>
        <source> μs</source>
        <translation> μs</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="119"/>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="121"/>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="123"/>
        <source> ks</source>
        <translation> ks</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="131"/>
        <source>ns</source>
        <translation>ns</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="157"/>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="213"/>
        <source>%1%2%3</source>
        <translation>%1%2%3</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="161"/>
        <source>%1s</source>
        <translation>%1s</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="163"/>
        <source>:%1ms</source>
        <translation>:%1ms</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="166"/>
        <source>:%1us</source>
        <translation>:%1us</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="173"/>
        <source>%1%2 ms</source>
        <translation>%1%2 ms</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="175"/>
        <source> : %1 us</source>
        <translation> : %1 us</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="185"/>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="194"/>
        <source>%1%2 s : %3 ms</source>
        <translation>%1%2 s : %3 ms</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="186"/>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="195"/>
        <source>%1%2 s</source>
        <translation>%1%2 s</translation>
    </message>
    <message>
        <location filename="../../src/waveform/core/TimeAxis.cpp" line="191"/>
        <source>%1%2 s : %3 ms : %4 us</source>
        <translation>%1%2 s : %3 ms : %4 us</translation>
    </message>
</context>
<context>
    <name>TxSettingWidget</name>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="125"/>
        <source>Tx Settings</source>
        <translation>Tx Settings</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="126"/>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="127"/>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="128"/>
        <source>Send New Line</source>
        <translation>Send New Line</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="129"/>
        <source>Repeat Send</source>
        <translation>Repeat Send</translation>
    </message>
    <message>
        <location filename="../../src/session/TxSettingWidget.cpp" line="130"/>
        <source>ms</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>VersionInfoWidget</name>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="60"/>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Name :&lt;/span&gt; CVN</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;Name :&lt;/span&gt; CVN</translation>
    </message>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="61"/>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Version :&lt;/span&gt; v%1</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;Version :&lt;/span&gt; v%1</translation>
    </message>
    <message>
        <location filename="../../src/app/VersionInfoWidget.cpp" line="62"/>
        <source>Check for Updates</source>
        <translation>Check for Updates</translation>
    </message>
</context>
<context>
    <name>WaveformManagerWidget</name>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="146"/>
        <source>Waveform Parameter Settings</source>
        <translation>Waveform Parameter Settings</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="147"/>
        <source>Enable Waveform</source>
        <translation>Enable Waveform</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="148"/>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="149"/>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="150"/>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="151"/>
        <source>Sample Rate (sample/sec):</source>
        <translation>Sample Rate (sample/sec):</translation>
    </message>
    <message>
        <location filename="../../src/waveform/plot/WaveformManagerWidget.cpp" line="152"/>
        <source>Timing Markers</source>
        <translation>Timing Markers</translation>
    </message>
</context>
<context>
    <name>XMODEM</name>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="77"/>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="92"/>
        <source>Waiting for receiver…</source>
        <translation>Waiting for receiver…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="103"/>
        <source>Transfer cancelled</source>
        <translation>Transfer cancelled</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="104"/>
        <source>Transfer cancelled by user</source>
        <translation>Transfer cancelled by user</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="139"/>
        <source>Receiver ready (CRC mode), sending data…</source>
        <translation>Receiver ready (CRC mode), sending data…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="160"/>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="191"/>
        <source>Too many retries, transfer aborted</source>
        <translation>Too many retries, transfer aborted</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="160"/>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="191"/>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="163"/>
        <source>NAK received, retrying block %1 (%2/%3)</source>
        <translation>NAK received, retrying block %1 (%2/%3)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="180"/>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="219"/>
        <source>File read error: %1</source>
        <translation>File read error: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="246"/>
        <source>File read returned more data than requested</source>
        <translation>File read returned more data than requested</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="254"/>
        <source>Sending block %1 (%2 bytes)</source>
        <translation>Sending block %1 (%2 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="263"/>
        <source>Sending EOT…</source>
        <translation>Sending EOT…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="274"/>
        <source>Failed to seek in file</source>
        <translation>Failed to seek in file</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="286"/>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="286"/>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="289"/>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="321"/>
        <source>Transfer cancelled by receiver</source>
        <translation>Transfer cancelled by receiver</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/XMODEM.cpp" line="322"/>
        <source>Receiver cancelled the transfer</source>
        <translation>Receiver cancelled the transfer</translation>
    </message>
</context>
<context>
    <name>YMODEM</name>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="49"/>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="66"/>
        <source>Waiting for receiver…</source>
        <translation>Waiting for receiver…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="187"/>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="208"/>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="208"/>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="210"/>
        <source>Too many retries, transfer aborted</source>
        <translation>Too many retries, transfer aborted</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="210"/>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="214"/>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="219"/>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="225"/>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="239"/>
        <source>NAK received, retrying block %1</source>
        <translation>NAK received, retrying block %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="261"/>
        <source>Sending file header: %1 (%2 bytes)</source>
        <translation>Sending file header: %1 (%2 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="282"/>
        <source>Sending block %1 (%2/%3 bytes)</source>
        <translation>Sending block %1 (%2/%3 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="296"/>
        <source>Sending first EOT…</source>
        <translation>Sending first EOT…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="304"/>
        <source>Sending second EOT…</source>
        <translation>Sending second EOT…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/YMODEM.cpp" line="310"/>
        <source>Sending end-of-batch marker…</source>
        <translation>Sending end-of-batch marker…</translation>
    </message>
</context>
<context>
    <name>ZMODEM</name>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="227"/>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="245"/>
        <source>File is too large for ZMODEM (%1 bytes, limit 4 GiB).</source>
        <translation>File is too large for ZMODEM (%1 bytes, limit 4 GiB).</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="263"/>
        <source>Transfer cancelled</source>
        <translation>Transfer cancelled</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="264"/>
        <source>Transfer cancelled by user</source>
        <translation>Transfer cancelled by user</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="271"/>
        <source>Sending ZRQINIT, waiting for receiver…</source>
        <translation>Sending ZRQINIT, waiting for receiver…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="282"/>
        <source>Sending file info: %1 (%2 bytes)</source>
        <translation>Sending file info: %1 (%2 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="291"/>
        <source>Failed to seek to offset %1</source>
        <translation>Failed to seek to offset %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="344"/>
        <source>File read error at offset %1: %2</source>
        <translation>File read error at offset %1: %2</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="349"/>
        <source>File read returned more data than requested</source>
        <translation>File read returned more data than requested</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="359"/>
        <source>File ended early at offset %1 (expected %2 bytes)</source>
        <translation>File ended early at offset %1 (expected %2 bytes)</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="388"/>
        <source>File data sent, waiting for confirmation…</source>
        <translation>File data sent, waiting for confirmation…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="396"/>
        <source>Sending ZFIN…</source>
        <translation>Sending ZFIN…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="413"/>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="439"/>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="439"/>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="573"/>
        <source>Hex header CRC mismatch, dropping frame</source>
        <translation>Hex header CRC mismatch, dropping frame</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="592"/>
        <source>Binary header CRC mismatch, dropping frame</source>
        <translation>Binary header CRC mismatch, dropping frame</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="608"/>
        <source>Receiver ready, sending file info…</source>
        <translation>Receiver ready, sending file info…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="630"/>
        <source>Receiver requests data from offset %1</source>
        <translation>Receiver requests data from offset %1</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="636"/>
        <source>Receiver skipped the file</source>
        <translation>Receiver skipped the file</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="643"/>
        <source>NAK received, retrying (%1/%2)…</source>
        <translation>NAK received, retrying (%1/%2)…</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="661"/>
        <source>Too many errors, transfer aborted</source>
        <translation>Too many errors, transfer aborted</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="661"/>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="666"/>
        <source>Transfer cancelled by receiver</source>
        <translation>Transfer cancelled by receiver</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="666"/>
        <source>Receiver cancelled the transfer</source>
        <translation>Receiver cancelled the transfer</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="679"/>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <location filename="../../src/transfer/core/ZMODEM.cpp" line="683"/>
        <source>Receiver reported a file error</source>
        <translation>Receiver reported a file error</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../src/demo/main.cpp" line="20"/>
        <source>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</source>
        <translation>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="29"/>
        <source>Publish the line at &lt;path&gt; (default %1).</source>
        <translation>Publish the line at &lt;path&gt; (default %1).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="34"/>
        <source>Wave frames per second, %1..%2 (default %3).</source>
        <translation>Wave frames per second, %1..%2 (default %3).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="40"/>
        <source>Stream wave frames from the start.</source>
        <translation>Stream wave frames from the start.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="42"/>
        <source>No periodic log lines.</source>
        <translation>No periodic log lines.</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="45"/>
        <source>Store received files in &lt;dir&gt; (default: current directory).</source>
        <translation>Store received files in &lt;dir&gt; (default: current directory).</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="55"/>
        <source>invalid --rate: %1</source>
        <translation>invalid --rate: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="61"/>
        <source>--path must not be empty</source>
        <translation>--path must not be empty</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="76"/>
        <source>signal %1: removing %2 and exiting</source>
        <translation>signal %1: removing %2 and exiting</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="83"/>
        <source>cannot start the demo device: %1</source>
        <translation>cannot start the demo device: %1</translation>
    </message>
    <message>
        <location filename="../../src/demo/main.cpp" line="90"/>
        <source>demo device ready at %1 (%2)</source>
        <translation>demo device ready at %1 (%2)</translation>
    </message>
</context>
</TS>
