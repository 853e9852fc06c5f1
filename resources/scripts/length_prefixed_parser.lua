-- Frame parser for a length-prefixed binary protocol:
--   AA 55 LEN PAYLOAD(LEN bytes) SUM8
-- SUM8 is the low byte of the sum of every byte before it (header and
-- length included). corvane-demo-device sends such a frame for its "hex"
-- command. Bytes before a header and frames with a wrong checksum are
-- skipped; an unfinished frame waits for the next chunk.

local buf = ""
local pos = 1

local byte, find, sub = string.byte, string.find, string.sub

function cvn_frame_parser(s)
    if #s > 0 then
        buf = sub(buf, pos) .. s
        pos = 1
    end
    while true do
        local at = find(buf, "\xAA\x55", pos, true)
        if not at then
            -- Keep a lone AA at the end: it may start the next header.
            if byte(buf, #buf) == 0xAA then
                pos = #buf
            else
                pos = #buf + 1
            end
            return nil
        end
        local len = byte(buf, at + 2)
        if not len or #buf < at + 3 + len then
            pos = at
            return nil
        end
        local last = at + 2 + len
        local sum = 0xAA + 0x55 + len
        for i = at + 3, last do
            sum = sum + byte(buf, i)
        end
        if sum & 0xFF == byte(buf, last + 1) then
            pos = last + 2
            return sub(buf, at, last + 1)
        end
        -- A false header: look again one byte further on.
        pos = at + 1
    end
end
