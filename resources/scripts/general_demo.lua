-- Corvane Lua script: a line-based frame parser, and a tour of the cvn_ API.
--
-- Frame Parser mode: every received chunk is handed to cvn_frame_parser(s).
-- Return one complete frame per call (it is shown as hex), "" when there is
-- nothing complete yet but you want to be called again, and nil to wait for
-- the next chunk. Keep the unfinished rest in your own variables.
--
-- Script Executor mode: the whole file runs from top to bottom on its own
-- thread. The API:
--   cvn_send(data)                       send bytes as they are -> true/false
--   cvn_send_hex("AA 55 0x01")           send hex text -> true/false
--   cvn_receive(timeout_ms)              collect until the line is quiet 50 ms
--   cvn_receive_until(match, timeout_ms) -> found, data
--   cvn_expect(cmd, expect, timeout_ms)  clear, send, wait for expect -> found, data
--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_port_is_open()
--   cvn_report(name, passed, detail)     "[PASS] name" / "[FAIL] name: detail"
--   cvn_wave(1, 2.5, -3) or cvn_wave("1,2") push a frame to the waveform plot
--   print(...) without line end, println(...) with one

println(cvn_get_version() .. ": general demo loaded")

local pending = ""

-- One text line (without its line end) per call.
function cvn_frame_parser(s)
    pending = pending .. s
    local stop = pending:find("\n", 1, true)
    if not stop then
        return nil
    end
    local line = pending:sub(1, stop - 1):gsub("\r$", "")
    pending = pending:sub(stop + 1)
    return line
end
