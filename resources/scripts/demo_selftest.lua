-- Self-test of corvane-demo-device, for the Script Executor mode and for
-- corvane-run in CI:
--   corvane-run /tmp/corvane-demo demo_selftest.lua --junit selftest.xml

println(cvn_get_version() .. ": demo device self-test")

if not cvn_report("port is open", cvn_port_is_open(), "no serial port") then
    return
end

-- Quiet the periodic log lines so they cannot get between a command and its answer.
local ok, data = cvn_expect("log off\r\n", "OK log off", 2000)
cvn_report("log off", ok, data)

ok, data = cvn_expect("AT\r\n", "OK", 1000)
cvn_report("AT answers OK", ok, data)

ok, data = cvn_expect("status\r\n", "OK wave", 1000)
cvn_report("status", ok, data)

ok, data = cvn_expect("wave on\r\n", "OK wave on", 1000)
cvn_report("wave on", ok, data)

-- Wave frames look like {sine,square,sawtooth,noise}.
local found, frames = cvn_receive_until("}\r\n{", 2000)
local frame = frames:match("{([-%d.,]+)}")
cvn_report("wave frames arrive", found and frame ~= nil, frames:sub(1, 80))
if frame then
    local values = {}
    for v in frame:gmatch("[^,]+") do
        values[#values + 1] = tonumber(v)
    end
    cvn_report("wave frame has four channels", #values == 4, frame)
    cvn_wave(frame)
end

ok, data = cvn_expect("wave off\r\n", "OK wave off", 1000)
cvn_report("wave off", ok, data)
cvn_sleep_ms(100)

-- The hex command answers with a binary frame AA 55 LEN PAYLOAD SUM8.
cvn_clear_rx()
cvn_send("hex\r\n")
local bytes = ""
local frameOk, detail = false, "no AA 55 header"
for _ = 1, 50 do
    local part = cvn_receive(200)
    bytes = bytes .. part
    local at = bytes:find("\xAA\x55", 1, true)
    if at and #bytes >= at + 2 then
        local len = bytes:byte(at + 2)
        if #bytes >= at + 3 + len then
            local sum = 0
            for i = at, at + 2 + len do
                sum = (sum + bytes:byte(i)) & 0xFF
            end
            frameOk = sum == bytes:byte(at + 3 + len)
            detail = string.format("length %d, checksum %02X, expected %02X", len, bytes:byte(at + 3 + len), sum)
            break
        end
    end
end
cvn_report("hex frame checksum", frameOk, detail)

-- The same AT, written as hex text.
cvn_clear_rx()
local sent = cvn_send_hex("0x41 0x54 0D 0A")
found, data = cvn_receive_until("OK", 1000)
cvn_report("hex command AT", sent and found, data)

cvn_send("log on\r\n")
