<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AuthenticateDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Please provide the user name and password for the download location.</source>
        <translation>Please provide the user name and password for the download location.</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;User name:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Password:</translation>
    </message>
</context>
<context>
    <name>ByteSizeText</name>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
</context>
<context>
    <name>CDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CLuaScriptEngine</name>
    <message>
        <source>Failed to create Lua state</source>
        <translation>Failed to create Lua state</translation>
    </message>
    <message>
        <source>[cvn_send] the port did not take the data within %1 ms; %2 bytes dropped
</source>
        <translation>[cvn_send] the port did not take the data within %1 ms; %2 bytes dropped
</translation>
    </message>
    <message>
        <source>Failed to open script: %1</source>
        <translation>Failed to open script: %1</translation>
    </message>
    <message>
        <source>cvn_frame_parser not defined in script</source>
        <translation>cvn_frame_parser not defined in script</translation>
    </message>
    <message>
        <source>Not a script file: %1</source>
        <translation>Not a script file: %1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>File not found: %1</translation>
    </message>
    <message>
        <source>No script file to reload</source>
        <translation>No script file to reload</translation>
    </message>
    <message>
        <source>Script engine busy, reload postponed</source>
        <translation>Script engine busy, reload postponed</translation>
    </message>
    <message>
        <source>%1; the frame parser was switched off</source>
        <translation>%1; the frame parser was switched off</translation>
    </message>
    <message>
        <source>Automation stopped
</source>
        <translation>Automation stopped
</translation>
    </message>
    <message>
        <source>Automation aborted on error
</source>
        <translation>Automation aborted on error
</translation>
    </message>
    <message>
        <source>Automation finished: %1 passed, %2 failed
</source>
        <translation>Automation finished: %1 passed, %2 failed
</translation>
    </message>
    <message>
        <source>os.exit is not available in scripts: return from the script instead</source>
        <translation>os.exit is not available in scripts: return from the script instead</translation>
    </message>
    <message>
        <source>%1
(further frame-parser errors are not shown until the parser is switched on or loaded again)</source>
        <translation>%1
(further frame-parser errors are not shown until the parser is switched on or loaded again)</translation>
    </message>
</context>
<context>
    <name>CLuaScriptWidget</name>
    <message>
        <source>Lua Files (*.lua);;All Files (*)</source>
        <translation>Lua Files (*.lua);;All Files (*)</translation>
    </message>
    <message>
        <source>No script loaded.</source>
        <translation>No script loaded.</translation>
    </message>
    <message>
        <source>-- Write your Lua script here...
-- Frame Parser mode: define a cvn_frame_parser(data) function to process serial data.
-- Script Executor mode: write the test flow at top level, Run executes the whole script:
--   cvn_send(data), cvn_send_hex(&quot;AA BB&quot;), cvn_receive(timeout_ms),
--   cvn_receive_until(match, timeout_ms), cvn_expect(cmd, expect, timeout_ms),
--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_report(name, passed, detail)</source>
        <translation>-- Write your Lua script here...
-- Frame Parser mode: define a cvn_frame_parser(data) function to process serial data.
-- Script Executor mode: write the test flow at top level, Run executes the whole script:
--   cvn_send(data), cvn_send_hex(&quot;AA BB&quot;), cvn_receive(timeout_ms),
--   cvn_receive_until(match, timeout_ms), cvn_expect(cmd, expect, timeout_ms),
--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_report(name, passed, detail)</translation>
    </message>
    <message>
        <source>Lua Script Engine</source>
        <translation>Lua Script Engine</translation>
    </message>
    <message>
        <source>Script Path: </source>
        <translation>Script Path: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>Mode Select: </source>
        <translation>Mode Select: </translation>
    </message>
    <message>
        <source>Frame Parser</source>
        <translation>Frame Parser</translation>
    </message>
    <message>
        <source>Script Executor</source>
        <translation>Script Executor</translation>
    </message>
    <message>
        <source>Enable Frame Parser</source>
        <translation>Enable Frame Parser</translation>
    </message>
    <message>
        <source>Enable Script Executor</source>
        <translation>Enable Script Executor</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Save Lua Script</source>
        <translation>Save Lua Script</translation>
    </message>
    <message>
        <source>Load Lua Script</source>
        <translation>Load Lua Script</translation>
    </message>
    <message>
        <source>Script read failed: %1</source>
        <translation>Script read failed: %1</translation>
    </message>
    <message>
        <source>Script loaded</source>
        <translation>Script loaded</translation>
    </message>
    <message>
        <source>Loading script...</source>
        <translation>Loading script...</translation>
    </message>
    <message>
        <source>Script load failed!</source>
        <translation>Script load failed!</translation>
    </message>
    <message>
        <source>Script editor is empty!</source>
        <translation>Script editor is empty!</translation>
    </message>
    <message>
        <source>Script save failed: %1</source>
        <translation>Script save failed: %1</translation>
    </message>
    <message>
        <source>Script save successfully!</source>
        <translation>Script save successfully!</translation>
    </message>
    <message>
        <source>Please select a lua script file!</source>
        <translation>Please select a lua script file!</translation>
    </message>
    <message>
        <source>Script reloaded successfully!</source>
        <translation>Script reloaded successfully!</translation>
    </message>
    <message>
        <source>Please load a lua script first!</source>
        <translation>Please load a lua script first!</translation>
    </message>
    <message>
        <source>Frame parser mode.</source>
        <translation>Frame parser mode.</translation>
    </message>
    <message>
        <source>Script executor mode.</source>
        <translation>Script executor mode.</translation>
    </message>
    <message>
        <source>Automation running...</source>
        <translation>Automation running...</translation>
    </message>
    <message>
        <source>Automation finished.</source>
        <translation>Automation finished.</translation>
    </message>
    <message>
        <source>Script enabled — %1</source>
        <translation>Script enabled — %1</translation>
    </message>
    <message>
        <source>Script disabled.</source>
        <translation>Script disabled.</translation>
    </message>
    <message>
        <source>Lua engine error!!</source>
        <translation>Lua engine error!!</translation>
    </message>
</context>
<context>
    <name>CProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Theme</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Too many arguments: only one PORT can be opened (got %1).</source>
        <translation>Too many arguments: only one PORT can be opened (got %1).</translation>
    </message>
    <message>
        <source>The PORT argument is empty.</source>
        <translation>The PORT argument is empty.</translation>
    </message>
    <message>
        <source>--baud is given more than once.</source>
        <translation>--baud is given more than once.</translation>
    </message>
    <message>
        <source>Invalid baud rate &quot;%1&quot;: expected a positive whole number.</source>
        <translation>Invalid baud rate &quot;%1&quot;: expected a positive whole number.</translation>
    </message>
    <message>
        <source>--baud needs a PORT to open.</source>
        <translation>--baud needs a PORT to open.</translation>
    </message>
    <message>
        <source>Try &apos;corvane --help&apos; for more information.</source>
        <translation>Try &apos;corvane --help&apos; for more information.</translation>
    </message>
    <message>
        <source>--check-install takes no other arguments.</source>
        <translation>--check-install takes no other arguments.</translation>
    </message>
    <message>
        <source>Usage: corvane [PORT] [--baud N]

Corvane %1, a workbench for serial-port engineers.

Arguments:
  PORT           port to select and open at start: a name such as ttyUSB0,
                 or a device path such as /dev/ttyUSB0, /dev/pts/3 or /tmp/ttyV0

Options:
  --baud N       baud rate for PORT (a positive whole number);
                 without it the last used rate applies
  --check-install
                 report whether every run-time file (fonts, themes, translations,
                 protocols, rules, documents) is found, then exit (0 all found,
                 1 something missing)
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
  --check-install
                 report whether every run-time file (fonts, themes, translations,
                 protocols, rules, documents) is found, then exit (0 all found,
                 1 something missing)
  -h, --help     show this help and exit
  -v, --version  print the version and exit
</translation>
    </message>
</context>
<context>
    <name>ConfirmDialog</name>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>CsvProtocolParser</name>
    <message>
        <source>Empty CSV frame</source>
        <translation>Empty CSV frame</translation>
    </message>
    <message>
        <source>CSV frame too long, discarded</source>
        <translation>CSV frame too long, discarded</translation>
    </message>
</context>
<context>
    <name>DemoDevice</name>
    <message>
        <source>replaced an old link at %1</source>
        <translation>replaced an old link at %1</translation>
    </message>
    <message>
        <source>command: %1</source>
        <translation>command: %1</translation>
    </message>
    <message>
        <source>burst of %1 bytes</source>
        <translation>burst of %1 bytes</translation>
    </message>
    <message>
        <source>unplugged: %1 removed for %2 s</source>
        <translation>unplugged: %1 removed for %2 s</translation>
    </message>
    <message>
        <source>cannot come back at %1: %2</source>
        <translation>cannot come back at %1: %2</translation>
    </message>
    <message>
        <source>plugged in again: %1 -&gt; %2</source>
        <translation>plugged in again: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>%1 wave frames dropped: the client reads too slowly</source>
        <translation>%1 wave frames dropped: the client reads too slowly</translation>
    </message>
    <message>
        <source>nobody reads the line: %1 bytes of output discarded</source>
        <translation>nobody reads the line: %1 bytes of output discarded</translation>
    </message>
    <message>
        <source>%1: handing the line to %2</source>
        <translation>%1: handing the line to %2</translation>
    </message>
</context>
<context>
    <name>DownloadTask</name>
    <message>
        <source>Redirect to %1 refused</source>
        <translation>Redirect to %1 refused</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Cannot replace %1</source>
        <translation>Cannot replace %1</translation>
    </message>
    <message>
        <source>Cannot rename %1 to %2</source>
        <translation>Cannot rename %1 to %2</translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Downloading updates</translation>
    </message>
    <message>
        <source>of</source>
        <translation>of</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>about one hour</source>
        <translation>about one hour</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>about %1 hours</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutes</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 second</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Time remaining</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Time Remaining</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Downloading Updates</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Time remaining: 0 minutes</translation>
    </message>
    <message>
        <source>Download failed: %1</source>
        <translation>Download failed: %1</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Download complete!</translation>
    </message>
    <message>
        <source>The installer opens separately</source>
        <translation>The installer opens separately</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Click &quot;OK&quot; to begin installing the update</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application.</source>
        <translation>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application.</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>In order to install the update, you may need to quit the application.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Click the &quot;Open&quot; button to apply the update</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Cannot find downloaded update!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Are you sure you want to cancel the download?</translation>
    </message>
    <message>
        <source>Updater</source>
        <translation>Updater</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>FileTransimisionWidget</name>
    <message>
        <source>0 KB/s</source>
        <translation>0 KB/s</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Please open serial port!</source>
        <translation>Please open serial port!</translation>
    </message>
    <message>
        <source>Please select a file!</source>
        <translation>Please select a file!</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>File Transimision</source>
        <translation>File Transimision</translation>
    </message>
    <message>
        <source>File Select:</source>
        <translation>File Select:</translation>
    </message>
    <message>
        <source>Protocol Select:</source>
        <translation>Protocol Select:</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Block Size:</source>
        <translation>Block Size:</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>Enable Log</source>
        <translation>Enable Log</translation>
    </message>
    <message>
        <source>Select file to transmit</source>
        <translation>Select file to transmit</translation>
    </message>
</context>
<context>
    <name>FileTransmission</name>
    <message>
        <source>No file selected…</source>
        <translation>No file selected…</translation>
    </message>
    <message>
        <source>Plain Text</source>
        <translation>Plain Text</translation>
    </message>
    <message>
        <source>Raw Binary</source>
        <translation>Raw Binary</translation>
    </message>
    <message>
        <source>XMODEM-CRC</source>
        <translation>XMODEM-CRC</translation>
    </message>
    <message>
        <source>XMODEM-1K</source>
        <translation>XMODEM-1K</translation>
    </message>
    <message>
        <source>YMODEM</source>
        <translation>YMODEM</translation>
    </message>
    <message>
        <source>ZMODEM</source>
        <translation>ZMODEM</translation>
    </message>
    <message>
        <source>%1 B/s</source>
        <translation>%1 B/s</translation>
    </message>
    <message>
        <source>%1 MB/s</source>
        <translation>%1 MB/s</translation>
    </message>
    <message>
        <source>%1 KB/s</source>
        <translation>%1 KB/s</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>Error opening file: %1</source>
        <translation>Error opening file: %1</translation>
    </message>
    <message>
        <source>File selected: %1 (%2 bytes)</source>
        <translation>File selected: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Starting %1 transfer…</source>
        <translation>Starting %1 transfer…</translation>
    </message>
    <message>
        <source>Transmission complete</source>
        <translation>Transmission complete</translation>
    </message>
    <message>
        <source>Plain text transmission complete</source>
        <translation>Plain text transmission complete</translation>
    </message>
    <message>
        <source>Raw binary transmission complete (%1 bytes)</source>
        <translation>Raw binary transmission complete (%1 bytes)</translation>
    </message>
    <message>
        <source>Transfer failed: %1</source>
        <translation>Transfer failed: %1</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <source>Transfer completed successfully (%1 bytes)</source>
        <translation>Transfer completed successfully (%1 bytes)</translation>
    </message>
    <message>
        <source>Transfer stalled: no progress for %1 s</source>
        <translation>Transfer stalled: no progress for %1 s</translation>
    </message>
</context>
<context>
    <name>FrameAssemblerWidget</name>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>%1-bit</source>
        <translation>%1-bit</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>Describe:</source>
        <translation>Describe:</translation>
    </message>
    <message>
        <source>Protocol Describe:</source>
        <translation>Protocol Describe:</translation>
    </message>
    <message>
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Open Protocol Folder</source>
        <translation>Open Protocol Folder</translation>
    </message>
    <message>
        <source>Reload Protocols</source>
        <translation>Reload Protocols</translation>
    </message>
    <message>
        <source>No protocol loaded</source>
        <translation>No protocol loaded</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>Preview:</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>var</source>
        <translation>var</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
</context>
<context>
    <name>FrameBuilder</name>
    <message>
        <source>Field &apos;%1&apos;: invalid value &apos;%2&apos;</source>
        <translation>Field &apos;%1&apos;: invalid value &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: value %2 exceeds %3-bit max (%4)</source>
        <translation>Field &apos;%1&apos;: value %2 exceeds %3-bit max (%4)</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos; expects %2 bytes, got %3</source>
        <translation>Field &apos;%1&apos; expects %2 bytes, got %3</translation>
    </message>
    <message>
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: checksum data exceeds %2 bytes</source>
        <translation>Field &apos;%1&apos;: checksum data exceeds %2 bytes</translation>
    </message>
</context>
<context>
    <name>GroupNameDialog</name>
    <message>
        <source>Add Group</source>
        <translation>Add Group</translation>
    </message>
    <message>
        <source>Group Name: </source>
        <translation>Group Name: </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>InputBox</name>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Clear History</translation>
    </message>
    <message>
        <source>Send (Enter)</source>
        <translation>Send (Enter)</translation>
    </message>
    <message>
        <source>Enter: send · Shift+Enter: new line</source>
        <translation>Enter: send · Shift+Enter: new line</translation>
    </message>
</context>
<context>
    <name>InstallCheck</name>
    <message>
        <source>data folder</source>
        <translation>data folder</translation>
    </message>
    <message>
        <source>log font</source>
        <translation>log font</translation>
    </message>
    <message>
        <source>icon fonts</source>
        <translation>icon fonts</translation>
    </message>
    <message>
        <source>theme</source>
        <translation>theme</translation>
    </message>
    <message>
        <source>%1 characters of style sheet</source>
        <translation>%1 characters of style sheet</translation>
    </message>
    <message>
        <source>translations (%1)</source>
        <translation>translations (%1)</translation>
    </message>
    <message>
        <source>protocols</source>
        <translation>protocols</translation>
    </message>
    <message>
        <source>%1 loaded from %2</source>
        <translation>%1 loaded from %2</translation>
    </message>
    <message>
        <source>highlighting rules</source>
        <translation>highlighting rules</translation>
    </message>
    <message>
        <source>help documents</source>
        <translation>help documents</translation>
    </message>
    <message>
        <source>sample scripts</source>
        <translation>sample scripts</translation>
    </message>
</context>
<context>
    <name>LineStamp</name>
    <message>
        <source>Time of day</source>
        <translation>Time of day</translation>
    </message>
    <message>
        <source>ISO 8601</source>
        <translation>ISO 8601</translation>
    </message>
    <message>
        <source>Since open (s)</source>
        <translation>Since open (s)</translation>
    </message>
    <message>
        <source>Delta (s)</source>
        <translation>Delta (s)</translation>
    </message>
</context>
<context>
    <name>LogActions</name>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>清除Log</source>
        <translation>Clear Log</translation>
    </message>
    <message>
        <source>Log save failed!</source>
        <translation>Log save failed!</translation>
    </message>
    <message>
        <source>Log is empty.</source>
        <translation>Log is empty.</translation>
    </message>
    <message>
        <source>Log Save</source>
        <translation>Log Save</translation>
    </message>
</context>
<context>
    <name>LogSearchBar</name>
    <message>
        <source>Invalid pattern</source>
        <translation>Invalid pattern</translation>
    </message>
    <message>
        <source>No results</source>
        <translation>No results</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation>%1 matches</translation>
    </message>
    <message>
        <source>Search the log</source>
        <translation>Search the log</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regular expression</translation>
    </message>
    <message>
        <source>Aa</source>
        <translation>Aa</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation>Previous match (Shift+Enter)</translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation>Next match (Enter)</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Close (Esc)</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <source>LOG</source>
        <translation>LOG</translation>
    </message>
    <message>
        <source>Highlighter</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <source>Auto Scroll</source>
        <translation>Auto Scroll</translation>
    </message>
    <message>
        <source>Save Log to File</source>
        <translation>Save Log to File</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Clear log</translation>
    </message>
    <message>
        <source>ANSI colours</source>
        <translation>ANSI colours</translation>
    </message>
    <message>
        <source>Show the colours the device sends (ANSI codes); off, the codes are removed</source>
        <translation>Show the colours the device sends (ANSI codes); off, the codes are removed</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>亮色主题</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>暖色终端主题</source>
        <translation>Warm Terminal</translation>
    </message>
    <message>
        <source>午夜信号主题</source>
        <translation>Midnight Signal</translation>
    </message>
    <message>
        <source>森林实验室主题</source>
        <translation>Forest Lab</translation>
    </message>
    <message>
        <source>暗色主题</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>深紫主题</source>
        <translation>Dark  Purple</translation>
    </message>
    <message>
        <source>翡翠绿主题</source>
        <translation>Dark Green</translation>
    </message>
    <message>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>User Guide</source>
        <translation>User Guide</translation>
    </message>
    <message>
        <source>Custom Protocol Guide</source>
        <translation>Custom Protocol Guide</translation>
    </message>
    <message>
        <source>Lua Script API Guide</source>
        <translation>Lua Script API Guide</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>About Qt</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Rx: %1 Bytes</source>
        <translation>Rx: %1 Bytes</translation>
    </message>
    <message>
        <source>Tx: %1 Bytes</source>
        <translation>Tx: %1 Bytes</translation>
    </message>
    <message>
        <source>Version: v%1</source>
        <translation>Version: v%1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The help document is missing:
%1</source>
        <translation>The help document is missing:
%1</translation>
    </message>
    <message>
        <source>No program on this desktop could open the help document. You can open it yourself:
%1</source>
        <translation>No program on this desktop could open the help document. You can open it yourself:
%1</translation>
    </message>
    <message>
        <source>Update check URL is not configured.</source>
        <translation>Update check URL is not configured.</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>Checking for updates...</translation>
    </message>
    <message>
        <source>%1 Update</source>
        <translation>%1 Update</translation>
    </message>
    <message>
        <source>Update downloaded — please install</source>
        <translation>Update downloaded — please install</translation>
    </message>
    <message>
        <source>Failed to save the settings to:
%1
Changes made in this session are lost.</source>
        <translation>Failed to save the settings to:
%1
Changes made in this session are lost.</translation>
    </message>
</context>
<context>
    <name>MeasureFormat</name>
    <message>
        <source> ns</source>
        <translation> ns</translation>
    </message>
    <message>
        <source> us</source>
        <translation> us</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> GHz</source>
        <translation> GHz</translation>
    </message>
    <message>
        <source> MHz</source>
        <translation> MHz</translation>
    </message>
    <message>
        <source> KHz</source>
        <translation> KHz</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>T = %1

∆t = 0s</source>
        <translation>T = %1

∆t = 0s</translation>
    </message>
    <message>
        <source>T = %1
∆t = %3
Freq = %4</source>
        <translation>T = %1
∆t = %3
Freq = %4</translation>
    </message>
    <message>
        <source>P%1 -&gt; </source>
        <translation>P%1 -&gt; </translation>
    </message>
    <message>
        <source>∆ = </source>
        <translation>∆ = </translation>
    </message>
    <message>
        <source> (0Hz)</source>
        <translation> (0Hz)</translation>
    </message>
    <message>
        <source>Min: %1  Max: %2  Avg: %3</source>
        <translation>Min: %1  Max: %2  Avg: %3</translation>
    </message>
    <message>
        <source>Pk-Pk: %1  N: %2</source>
        <translation>Pk-Pk: %1  N: %2</translation>
    </message>
</context>
<context>
    <name>MultiChannelWaveformWidget</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all data?</source>
        <translation>Are you sure you want to delete all data?</translation>
    </message>
    <message>
        <source>Delete Cursor Pair</source>
        <translation>Delete Cursor Pair</translation>
    </message>
    <message>
        <source>Delete Range Measure</source>
        <translation>Delete Range Measure</translation>
    </message>
    <message>
        <source>Fit View</source>
        <translation>Fit View</translation>
    </message>
    <message>
        <source>Resize All Channels To Match</source>
        <translation>Resize All Channels To Match</translation>
    </message>
    <message>
        <source>Restore Y Axis Range</source>
        <translation>Restore Y Axis Range</translation>
    </message>
    <message>
        <source>Save Waveform To Image</source>
        <translation>Save Waveform To Image</translation>
    </message>
    <message>
        <source>Save CSV</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>Replay CSV</source>
        <translation>Replay CSV</translation>
    </message>
    <message>
        <source>Delete Data</source>
        <translation>Delete Data</translation>
    </message>
    <message>
        <source>Delete All Cursor Pair</source>
        <translation>Delete All Cursor Pair</translation>
    </message>
    <message>
        <source>Delete All Range Measure</source>
        <translation>Delete All Range Measure</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>file name is invalid!</source>
        <translation>file name is invalid!</translation>
    </message>
    <message>
        <source>Saving data...</source>
        <translation>Saving data...</translation>
    </message>
    <message>
        <source>Failed to open file:
%1</source>
        <translation>Failed to open file:
%1</translation>
    </message>
    <message>
        <source>The file %1 cannot be replayed:
%2</source>
        <translation>The file %1 cannot be replayed:
%2</translation>
    </message>
    <message>
        <source>Loading %1 (%2) ...</source>
        <translation>Loading %1 (%2) ...</translation>
    </message>
    <message>
        <source>Can&apos;t save image %1!</source>
        <translation>Can&apos;t save image %1!</translation>
    </message>
    <message>
        <source>Have no data to save!</source>
        <translation>Have no data to save!</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV Files (*.csv)</translation>
    </message>
    <message>
        <source>The replay function requires deleting the current data. 
Are you sure you want to delete the current data?</source>
        <translation>The replay function requires deleting the current data. 
Are you sure you want to delete the current data?</translation>
    </message>
    <message>
        <source>Save Waveform</source>
        <translation>Save Waveform</translation>
    </message>
    <message>
        <source>Image (*.png)</source>
        <translation>Image (*.png)</translation>
    </message>
</context>
<context>
    <name>MultiLineDataManager</name>
    <message>
        <source>无法打开文件: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>The file is too large (%1 bytes).</source>
        <translation>The file is too large (%1 bytes).</translation>
    </message>
    <message>
        <source>JSON 解析错误: %1 (偏移 %2)</source>
        <translation>JSON parse error: %1 (offset %2)</translation>
    </message>
    <message>
        <source>JSON 根节点必须是对象</source>
        <translation>The JSON root must be an object</translation>
    </message>
    <message>
        <source>&quot;groups&quot; is missing.</source>
        <translation>&quot;groups&quot; is missing.</translation>
    </message>
    <message>
        <source>Group %1 is not an object with &quot;group-name&quot; and &quot;group-content&quot;.</source>
        <translation>Group %1 is not an object with &quot;group-name&quot; and &quot;group-content&quot;.</translation>
    </message>
    <message>
        <source>Group %1, line %2 is not an object with &quot;time&quot;, &quot;hexMode&quot; and &quot;data&quot;.</source>
        <translation>Group %1, line %2 is not an object with &quot;time&quot;, &quot;hexMode&quot; and &quot;data&quot;.</translation>
    </message>
    <message>
        <source>The file holds more than %1 lines.</source>
        <translation>The file holds more than %1 lines.</translation>
    </message>
    <message>
        <source>无法写入文件: %1</source>
        <translation>Cannot write file: %1</translation>
    </message>
    <message>
        <source>写入文件时数据不完整</source>
        <translation>Incomplete data written to the file</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 is not a file.</translation>
    </message>
    <message>
        <source>Cannot copy %1 to %2: %3</source>
        <translation>Cannot copy %1 to %2: %3</translation>
    </message>
    <message>
        <source>No free name for a copy of %1.</source>
        <translation>No free name for a copy of %1.</translation>
    </message>
</context>
<context>
    <name>MultiLineGroup</name>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all record?</source>
        <translation>Are you sure you want to delete all record?</translation>
    </message>
    <message>
        <source>Add Line</source>
        <translation>Add Line</translation>
    </message>
    <message>
        <source>Insert Line</source>
        <translation>Insert Line</translation>
    </message>
    <message>
        <source>Clear Line</source>
        <translation>Clear Line</translation>
    </message>
    <message>
        <source>Delete Line</source>
        <translation>Delete Line</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>Delete All</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Please select line!</source>
        <translation>Please select line!</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Loop Send</source>
        <translation>Loop Send</translation>
    </message>
</context>
<context>
    <name>MultiLineGroupManager</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Are you sure you want to delete [%1] group?</source>
        <translation>Are you sure you want to delete [%1] group?</translation>
    </message>
    <message>
        <source>The group name &quot;%1&quot; is used twice.</source>
        <translation>The group name &quot;%1&quot; is used twice.</translation>
    </message>
    <message>
        <source>The multi-line groups in %1 could not be loaded (%2).
A copy of the file was kept as %3.</source>
        <translation>The multi-line groups in %1 could not be loaded (%2).
A copy of the file was kept as %3.</translation>
    </message>
    <message>
        <source>The multi-line groups in %1 could not be loaded (%2), and no copy could be made (%3).
The file will not be written over.</source>
        <translation>The multi-line groups in %1 could not be loaded (%2), and no copy could be made (%3).
The file will not be written over.</translation>
    </message>
    <message>
        <source>%1 could not be loaded and is kept as it is.</source>
        <translation>%1 could not be loaded and is kept as it is.</translation>
    </message>
    <message>
        <source>Multi Line Manager</source>
        <translation>Multi Line Manager</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>Group:</translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation>Add Group</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>Delete Group</translation>
    </message>
</context>
<context>
    <name>PortTyping</name>
    <message>
        <source>Type Into Port</source>
        <translation>Type Into Port</translation>
    </message>
    <message>
        <source>TYPING INTO THE PORT: keys in the log go to the device. Ctrl+Shift+K leaves.</source>
        <translation>TYPING INTO THE PORT: keys in the log go to the device. Ctrl+Shift+K leaves.</translation>
    </message>
</context>
<context>
    <name>Protocol</name>
    <message>
        <source>Transfer stalled: no progress for %1 s</source>
        <translation>Transfer stalled: no progress for %1 s</translation>
    </message>
</context>
<context>
    <name>ProtocolFileReader</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>JSON error: %1</source>
        <translation>JSON error: %1</translation>
    </message>
    <message>
        <source>Protocol name is required</source>
        <translation>Protocol name is required</translation>
    </message>
    <message>
        <source>Protocol has no fields defined</source>
        <translation>Protocol has no fields defined</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: &apos;over&apos; covers too many fields</source>
        <translation>Field &apos;%1&apos;: &apos;over&apos; covers too many fields</translation>
    </message>
    <message>
        <source>Duplicate field name: %1</source>
        <translation>Duplicate field name: %1</translation>
    </message>
    <message>
        <source>Unknown CRC algorithm: %1</source>
        <translation>Unknown CRC algorithm: %1</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos; references unknown field &apos;%2&apos;</source>
        <translation>Field &apos;%1&apos; references unknown field &apos;%2&apos;</translation>
    </message>
</context>
<context>
    <name>RxSettingWidget</name>
    <message>
        <source>Rx Settings</source>
        <translation>Rx Settings</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Bytes per line</source>
        <translation>Bytes per line</translation>
    </message>
    <message>
        <source>Auto Wrap</source>
        <translation>Auto Wrap</translation>
    </message>
    <message>
        <source>Show Send</source>
        <translation>Show Send</translation>
    </message>
    <message>
        <source>Show Timestamp</source>
        <translation>Show Timestamp</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>Show Log</translation>
    </message>
    <message>
        <source>Output Log To File</source>
        <translation>Output Log To File</translation>
    </message>
    <message>
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
    <message>
        <source>Timestamp format</source>
        <translation>Timestamp format</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Hex Dump</source>
        <translation>Hex Dump</translation>
    </message>
    <message>
        <source>Hex lines with an offset and a character column (hexdump -C layout)</source>
        <translation>Hex lines with an offset and a character column (hexdump -C layout)</translation>
    </message>
</context>
<context>
    <name>SendPanel</name>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Hex Sample:11 22 33 44... or 1122334455...</source>
        <translation>Hex Sample:11 22 33 44... or 1122334455...</translation>
    </message>
</context>
<context>
    <name>SendPath</name>
    <message>
        <source>Not hex: %1
Type bytes as pairs of hex digits, for example 11 22 33 or 112233.</source>
        <translation>Not hex: %1
Type bytes as pairs of hex digits, for example 11 22 33 or 112233.</translation>
    </message>
</context>
<context>
    <name>SerialParamWidget</name>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>please instert a device</source>
        <translation>please instert a device</translation>
    </message>
    <message>
        <source>Failed to open serial port: %1</source>
        <translation>Failed to open serial port: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Serial port write error: %1</source>
        <translation>Serial port write error: %1</translation>
    </message>
    <message>
        <source>Serial port error [%1]: %2</source>
        <translation>Serial port error [%1]: %2</translation>
    </message>
    <message>
        <source>Reconnect Counter: %1</source>
        <translation>Reconnect Counter: %1</translation>
    </message>
    <message>
        <source>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</source>
        <translation>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</translation>
    </message>
    <message>
        <source>Port Settings</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>Baudrate:</translation>
    </message>
    <message>
        <source>Data Bits:</source>
        <translation>Data Bits:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>Stop Bits:</source>
        <translation>Stop Bits:</translation>
    </message>
    <message>
        <source>Flow Ctrl:</source>
        <translation>Flow Ctrl:</translation>
    </message>
    <message>
        <source>Open/Close Serial port</source>
        <translation>Open/Close Serial port</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Modem Lines</source>
        <translation>Modem Lines</translation>
    </message>
    <message>
        <source>Data Terminal Ready, kept across reconnects</source>
        <translation>Data Terminal Ready, kept across reconnects</translation>
    </message>
    <message>
        <source>Request To Send, kept across reconnects</source>
        <translation>Request To Send, kept across reconnects</translation>
    </message>
    <message>
        <source>Pulse DTR/RTS</source>
        <translation>Pulse DTR/RTS</translation>
    </message>
    <message>
        <source>Reset the board: DTR off and RTS on for the pulse length (Ctrl+Shift+R)</source>
        <translation>Reset the board: DTR off and RTS on for the pulse length (Ctrl+Shift+R)</translation>
    </message>
    <message>
        <source>Pulse length</source>
        <translation>Pulse length</translation>
    </message>
    <message>
        <source>Send Break</source>
        <translation>Send Break</translation>
    </message>
    <message>
        <source>Hold the line in break for the break length (Ctrl+Shift+B)</source>
        <translation>Hold the line in break for the break length (Ctrl+Shift+B)</translation>
    </message>
    <message>
        <source>Break length</source>
        <translation>Break length</translation>
    </message>
    <message>
        <source>Clear To Send</source>
        <translation>Clear To Send</translation>
    </message>
    <message>
        <source>Data Set Ready</source>
        <translation>Data Set Ready</translation>
    </message>
    <message>
        <source>Data Carrier Detect</source>
        <translation>Data Carrier Detect</translation>
    </message>
    <message>
        <source>Ring Indicator</source>
        <translation>Ring Indicator</translation>
    </message>
</context>
<context>
    <name>SerialPortManager</name>
    <message>
        <source>Your user may not use this serial port. Join the &quot;dialout&quot; group with &quot;sudo usermod -aG dialout $USER&quot;, then log out and in again.</source>
        <translation>Your user may not use this serial port. Join the &quot;dialout&quot; group with &quot;sudo usermod -aG dialout $USER&quot;, then log out and in again.</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Serial port not found: %1</source>
        <translation>Serial port not found: %1</translation>
    </message>
    <message>
        <source>Open log file failed!
</source>
        <translation>Open log file failed!
</translation>
    </message>
    <message>
        <source>Please open serial port!</source>
        <translation>Please open serial port!</translation>
    </message>
    <message>
        <source>Log file write failed: %1</source>
        <translation>Log file write failed: %1</translation>
    </message>
    <message>
        <source>Lua Error: </source>
        <translation>Lua Error: </translation>
    </message>
    <message>
        <source>Device went away at %1, reconnecting...</source>
        <translation>Device went away at %1, reconnecting...</translation>
    </message>
    <message>
        <source>Device is back at %1: %2</source>
        <translation>Device is back at %1: %2</translation>
    </message>
    <message>
        <source>Not sent: the port is reconnecting</source>
        <translation>Not sent: the port is reconnecting</translation>
    </message>
</context>
<context>
    <name>SessionLayout</name>
    <message>
        <source>Multi Line Send</source>
        <translation>Multi Line Send</translation>
    </message>
    <message>
        <source>File Transmision</source>
        <translation>File Transmision</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Lua Script</source>
        <translation>Lua Script</translation>
    </message>
    <message>
        <source>Frame Assembler</source>
        <translation>Frame Assembler</translation>
    </message>
    <message>
        <source>Waveform Data Generator</source>
        <translation>Waveform Data Generator</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>选择Log保存文件夹</source>
        <translation>Select Log Folder</translation>
    </message>
    <message>
        <source>通用设置</source>
        <translation>General Settings</translation>
    </message>
    <message>
        <source>Output Log Configuration:</source>
        <translation>Output Log Configuration:</translation>
    </message>
    <message>
        <source>Log保存路径:</source>
        <translation>Log Save Path:</translation>
    </message>
    <message>
        <source>更改目录</source>
        <translation>Change Folder</translation>
    </message>
    <message>
        <source>Log文件名:</source>
        <translation>Log File Name:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ShortcutInfoWidget</name>
    <message>
        <source>Start / stop waveform recording (waveform panel visible)</source>
        <translation>Start / stop waveform recording (waveform panel visible)</translation>
    </message>
    <message>
        <source>Waveform: create cursor pair</source>
        <translation>Waveform: create cursor pair</translation>
    </message>
    <message>
        <source>Waveform: region selection mode</source>
        <translation>Waveform: region selection mode</translation>
    </message>
    <message>
        <source>Waveform: cancel selection / exit region mode / exit cursor creation</source>
        <translation>Waveform: cancel selection / exit region mode / exit cursor creation</translation>
    </message>
    <message>
        <source>Waveform: zoom Y axis of the channel under mouse</source>
        <translation>Waveform: zoom Y axis of the channel under mouse</translation>
    </message>
    <message>
        <source>Send input box: copy</source>
        <translation>Send input box: copy</translation>
    </message>
    <message>
        <source>Send input box: paste</source>
        <translation>Send input box: paste</translation>
    </message>
    <message>
        <source>Lua Code Editor: save</source>
        <translation>Lua Code Editor: save</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Send input box: send</source>
        <translation>Send input box: send</translation>
    </message>
    <message>
        <source>Send input box: new line</source>
        <translation>Send input box: new line</translation>
    </message>
    <message>
        <source>Open / close the serial port</source>
        <translation>Open / close the serial port</translation>
    </message>
    <message>
        <source>Port box: open the typed port</source>
        <translation>Port box: open the typed port</translation>
    </message>
    <message>
        <source>Send a break</source>
        <translation>Send a break</translation>
    </message>
    <message>
        <source>Pulse DTR/RTS (reset the board)</source>
        <translation>Pulse DTR/RTS (reset the board)</translation>
    </message>
    <message>
        <source>Log: enter / leave type-into-port mode</source>
        <translation>Log: enter / leave type-into-port mode</translation>
    </message>
    <message>
        <source>Type-into-port mode: sends 0x03; every key goes to the device, arrows as escape sequences, Enter as the Tx line ending</source>
        <translation>Type-into-port mode: sends 0x03; every key goes to the device, arrows as escape sequences, Enter as the Tx line ending</translation>
    </message>
    <message>
        <source>Log: search</source>
        <translation>Log: search</translation>
    </message>
    <message>
        <source>Log search: next match</source>
        <translation>Log search: next match</translation>
    </message>
    <message>
        <source>Log search: previous match</source>
        <translation>Log search: previous match</translation>
    </message>
    <message>
        <source>Log search: close the search bar</source>
        <translation>Log search: close the search bar</translation>
    </message>
</context>
<context>
    <name>SingleLineItem</name>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Data to send</source>
        <translation>Data to send</translation>
    </message>
    <message>
        <source>Take part in loop sending</source>
        <translation>Take part in loop sending</translation>
    </message>
    <message>
        <source>%1 characters: too long to edit here; it is sent and saved whole.</source>
        <translation>%1 characters: too long to edit here; it is sent and saved whole.</translation>
    </message>
</context>
<context>
    <name>SkinManager</name>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Style File load failed...</source>
        <translation>Style File load failed...</translation>
    </message>
</context>
<context>
    <name>TimeAxis</name>
    <message>
        <source> ns</source>
        <translation> ns</translation>
    </message>
    <message>
        <source> μs</source>
        <translation> μs</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> ks</source>
        <translation> ks</translation>
    </message>
    <message>
        <source>ns</source>
        <translation>ns</translation>
    </message>
    <message>
        <source>%1%2%3</source>
        <translation>%1%2%3</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1s</translation>
    </message>
    <message>
        <source>:%1ms</source>
        <translation>:%1ms</translation>
    </message>
    <message>
        <source>:%1us</source>
        <translation>:%1us</translation>
    </message>
    <message>
        <source>%1%2 ms</source>
        <translation>%1%2 ms</translation>
    </message>
    <message>
        <source> : %1 us</source>
        <translation> : %1 us</translation>
    </message>
    <message>
        <source>%1%2 s : %3 ms</source>
        <translation>%1%2 s : %3 ms</translation>
    </message>
    <message>
        <source>%1%2 s</source>
        <translation>%1%2 s</translation>
    </message>
    <message>
        <source>%1%2 s : %3 ms : %4 us</source>
        <translation>%1%2 s : %3 ms : %4 us</translation>
    </message>
</context>
<context>
    <name>TimingItem</name>
    <message>
        <source>T1 = </source>
        <translation>T1 = </translation>
    </message>
    <message>
        <source>T2 = </source>
        <translation>T2 = </translation>
    </message>
</context>
<context>
    <name>TxSettingWidget</name>
    <message>
        <source>Tx Settings</source>
        <translation>Tx Settings</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Send New Line</source>
        <translation>Send New Line</translation>
    </message>
    <message>
        <source>Repeat Send</source>
        <translation>Repeat Send</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Would you like to download the update now?&lt;br /&gt;This is a mandatory update, exiting now will close the application.</source>
        <translation>Would you like to download the update now?&lt;br /&gt;This is a mandatory update, exiting now will close the application.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Would you like to download the update now?</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Change log:&lt;/strong&gt;&lt;br/&gt;%1</source>
        <translation>&lt;strong&gt;Change log:&lt;/strong&gt;&lt;br/&gt;%1</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Version %1 of %2 has been released!</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>No updates are available for the moment</translation>
    </message>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Congratulations! You are running the latest version of %1</translation>
    </message>
</context>
<context>
    <name>VersionInfoWidget</name>
    <message>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Name :&lt;/span&gt; CVN</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;Name :&lt;/span&gt; CVN</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Version :&lt;/span&gt; v%1</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;Version :&lt;/span&gt; v%1</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Check for Updates</translation>
    </message>
</context>
<context>
    <name>WaveFormInfoItem</name>
    <message>
        <source>Period(us):</source>
        <translation>Period(us):</translation>
    </message>
    <message>
        <source>Amplitude:</source>
        <translation>Amplitude:</translation>
    </message>
    <message>
        <source>OffsetY:</source>
        <translation>OffsetY:</translation>
    </message>
    <message>
        <source>Decay Contant:</source>
        <translation>Decay Contant:</translation>
    </message>
</context>
<context>
    <name>WaveformCsvExporter</name>
    <message>
        <source>Can&apos;t open file %1!</source>
        <translation>Can&apos;t open file %1!</translation>
    </message>
    <message>
        <source>Failed to write file:
%1</source>
        <translation>Failed to write file:
%1</translation>
    </message>
</context>
<context>
    <name>WaveformCsvParser</name>
    <message>
        <source>The file is empty.</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>The first line must name the time column and at least one channel.</source>
        <translation>The first line must name the time column and at least one channel.</translation>
    </message>
    <message>
        <source>The first column must be a time column such as &quot;Timestamp(ns)&quot; or &quot;Time(ms)&quot;.</source>
        <translation>The first column must be a time column such as &quot;Timestamp(ns)&quot; or &quot;Time(ms)&quot;.</translation>
    </message>
    <message>
        <source>Unknown time unit &quot;%1&quot; in the first column: use ns, us, ms or s.</source>
        <translation>Unknown time unit &quot;%1&quot; in the first column: use ns, us, ms or s.</translation>
    </message>
    <message>
        <source>Failed to open file:
%1</source>
        <translation>Failed to open file:
%1</translation>
    </message>
    <message>
        <source>Failed to read file:
%1
%2</source>
        <translation>Failed to read file:
%1
%2</translation>
    </message>
</context>
<context>
    <name>WaveformDataGeneratorWidget</name>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Please select waveform!</source>
        <translation>Please select waveform!</translation>
    </message>
    <message>
        <source>Waveform Data Generator</source>
        <translation>Waveform Data Generator</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Prefix:</source>
        <translation>Prefix:</translation>
    </message>
    <message>
        <source>Suffix:</source>
        <translation>Suffix:</translation>
    </message>
</context>
<context>
    <name>WaveformGenerator</name>
    <message>
        <source>The period must be greater than 0.</source>
        <translation>The period must be greater than 0.</translation>
    </message>
    <message>
        <source>The decay constant must be greater than 0.</source>
        <translation>The decay constant must be greater than 0.</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>Square</translation>
    </message>
    <message>
        <source>ECG</source>
        <translation>ECG</translation>
    </message>
    <message>
        <source>Sin</source>
        <translation>Sin</translation>
    </message>
    <message>
        <source>Cos</source>
        <translation>Cos</translation>
    </message>
    <message>
        <source>Sawtooth</source>
        <translation>Sawtooth</translation>
    </message>
    <message>
        <source>Triangle</source>
        <translation>Triangle</translation>
    </message>
    <message>
        <source>PWM</source>
        <translation>PWM</translation>
    </message>
    <message>
        <source>Sin+Noise</source>
        <translation>Sin+Noise</translation>
    </message>
    <message>
        <source>Sin Decay</source>
        <translation>Sin Decay</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Noise</translation>
    </message>
</context>
<context>
    <name>WaveformManagerWidget</name>
    <message>
        <source>Waveform Parameter Settings</source>
        <translation>Waveform Parameter Settings</translation>
    </message>
    <message>
        <source>Enable Waveform</source>
        <translation>Enable Waveform</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Sample Rate (sample/sec):</source>
        <translation>Sample Rate (sample/sec):</translation>
    </message>
    <message>
        <source>Timing Markers</source>
        <translation>Timing Markers</translation>
    </message>
</context>
<context>
    <name>WaveformPane</name>
    <message>
        <source>Waveform</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Channel %1</translation>
    </message>
</context>
<context>
    <name>XMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>Waiting for receiver…</source>
        <translation>Waiting for receiver…</translation>
    </message>
    <message>
        <source>Transfer cancelled</source>
        <translation>Transfer cancelled</translation>
    </message>
    <message>
        <source>Transfer cancelled by user</source>
        <translation>Transfer cancelled by user</translation>
    </message>
    <message>
        <source>Receiver ready (CRC mode), sending data…</source>
        <translation>Receiver ready (CRC mode), sending data…</translation>
    </message>
    <message>
        <source>Too many retries, transfer aborted</source>
        <translation>Too many retries, transfer aborted</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <source>NAK received, retrying block %1 (%2/%3)</source>
        <translation>NAK received, retrying block %1 (%2/%3)</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <source>File read error: %1</source>
        <translation>File read error: %1</translation>
    </message>
    <message>
        <source>File read returned more data than requested</source>
        <translation>File read returned more data than requested</translation>
    </message>
    <message>
        <source>Sending block %1 (%2 bytes)</source>
        <translation>Sending block %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Sending EOT…</source>
        <translation>Sending EOT…</translation>
    </message>
    <message>
        <source>Failed to seek in file</source>
        <translation>Failed to seek in file</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <source>Transfer cancelled by receiver</source>
        <translation>Transfer cancelled by receiver</translation>
    </message>
    <message>
        <source>Receiver cancelled the transfer</source>
        <translation>Receiver cancelled the transfer</translation>
    </message>
    <message>
        <source>Receiver ready (checksum mode), sending data…</source>
        <translation>Receiver ready (checksum mode), sending data…</translation>
    </message>
</context>
<context>
    <name>YMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>Waiting for receiver…</source>
        <translation>Waiting for receiver…</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <source>Too many retries, transfer aborted</source>
        <translation>Too many retries, transfer aborted</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <source>NAK received, retrying block %1</source>
        <translation>NAK received, retrying block %1</translation>
    </message>
    <message>
        <source>Sending file header: %1 (%2 bytes)</source>
        <translation>Sending file header: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Sending block %1 (%2/%3 bytes)</source>
        <translation>Sending block %1 (%2/%3 bytes)</translation>
    </message>
    <message>
        <source>Sending first EOT…</source>
        <translation>Sending first EOT…</translation>
    </message>
    <message>
        <source>Sending second EOT…</source>
        <translation>Sending second EOT…</translation>
    </message>
    <message>
        <source>Sending end-of-batch marker…</source>
        <translation>Sending end-of-batch marker…</translation>
    </message>
</context>
<context>
    <name>ZMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>Cannot open file: %1</translation>
    </message>
    <message>
        <source>File is too large for ZMODEM (%1 bytes, limit 4 GiB).</source>
        <translation>File is too large for ZMODEM (%1 bytes, limit 4 GiB).</translation>
    </message>
    <message>
        <source>Transfer cancelled</source>
        <translation>Transfer cancelled</translation>
    </message>
    <message>
        <source>Transfer cancelled by user</source>
        <translation>Transfer cancelled by user</translation>
    </message>
    <message>
        <source>Sending ZRQINIT, waiting for receiver…</source>
        <translation>Sending ZRQINIT, waiting for receiver…</translation>
    </message>
    <message>
        <source>Sending file info: %1 (%2 bytes)</source>
        <translation>Sending file info: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Failed to seek to offset %1</source>
        <translation>Failed to seek to offset %1</translation>
    </message>
    <message>
        <source>File read error at offset %1: %2</source>
        <translation>File read error at offset %1: %2</translation>
    </message>
    <message>
        <source>File read returned more data than requested</source>
        <translation>File read returned more data than requested</translation>
    </message>
    <message>
        <source>File ended early at offset %1 (expected %2 bytes)</source>
        <translation>File ended early at offset %1 (expected %2 bytes)</translation>
    </message>
    <message>
        <source>File data sent, waiting for confirmation…</source>
        <translation>File data sent, waiting for confirmation…</translation>
    </message>
    <message>
        <source>Sending ZFIN…</source>
        <translation>Sending ZFIN…</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout, retrying (%1/%2)…</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>Transfer timed out</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: no response from receiver</translation>
    </message>
    <message>
        <source>Hex header CRC mismatch, dropping frame</source>
        <translation>Hex header CRC mismatch, dropping frame</translation>
    </message>
    <message>
        <source>Binary header CRC mismatch, dropping frame</source>
        <translation>Binary header CRC mismatch, dropping frame</translation>
    </message>
    <message>
        <source>Receiver ready, sending file info…</source>
        <translation>Receiver ready, sending file info…</translation>
    </message>
    <message>
        <source>Receiver requests data from offset %1</source>
        <translation>Receiver requests data from offset %1</translation>
    </message>
    <message>
        <source>Receiver skipped the file</source>
        <translation>Receiver skipped the file</translation>
    </message>
    <message>
        <source>NAK received, retrying (%1/%2)…</source>
        <translation>NAK received, retrying (%1/%2)…</translation>
    </message>
    <message>
        <source>Too many errors, transfer aborted</source>
        <translation>Too many errors, transfer aborted</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>Maximum retries exceeded</translation>
    </message>
    <message>
        <source>Transfer cancelled by receiver</source>
        <translation>Transfer cancelled by receiver</translation>
    </message>
    <message>
        <source>Receiver cancelled the transfer</source>
        <translation>Receiver cancelled the transfer</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>Transfer complete</translation>
    </message>
    <message>
        <source>Receiver reported a file error</source>
        <translation>Receiver reported a file error</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</source>
        <translation>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</translation>
    </message>
    <message>
        <source>Publish the line at &lt;path&gt; (default %1).</source>
        <translation>Publish the line at &lt;path&gt; (default %1).</translation>
    </message>
    <message>
        <source>Wave frames per second, %1..%2 (default %3).</source>
        <translation>Wave frames per second, %1..%2 (default %3).</translation>
    </message>
    <message>
        <source>Stream wave frames from the start.</source>
        <translation>Stream wave frames from the start.</translation>
    </message>
    <message>
        <source>No periodic log lines.</source>
        <translation>No periodic log lines.</translation>
    </message>
    <message>
        <source>Store received files in &lt;dir&gt; (default: current directory).</source>
        <translation>Store received files in &lt;dir&gt; (default: current directory).</translation>
    </message>
    <message>
        <source>invalid --rate: %1</source>
        <translation>invalid --rate: %1</translation>
    </message>
    <message>
        <source>--path must not be empty</source>
        <translation>--path must not be empty</translation>
    </message>
    <message>
        <source>signal %1: removing %2 and exiting</source>
        <translation>signal %1: removing %2 and exiting</translation>
    </message>
    <message>
        <source>cannot start the demo device: %1</source>
        <translation>cannot start the demo device: %1</translation>
    </message>
    <message>
        <source>demo device ready at %1 (%2)</source>
        <translation>demo device ready at %1 (%2)</translation>
    </message>
</context>
</TS>
