-- The demo rule's work in Lua 5.4, for comparison with the rule executor: per line the
-- split at ';', the field-count check, the trim of the first two fields, ParseToFloat
-- (trim, units, prefix, exponent, number) of the other three and the row table. With
-- "texts" the row is also turned into texts and the counts compared, as SaveResult does.
-- Usage: lua5.4 demo.lua LINES-FILE  -> prints "<ns per line> <ns per line with texts>"
local path = arg[1]
local lines = {}
for l in io.lines(path) do lines[#lines + 1] = l end

local find, sub, match, gsub = string.find, string.sub, string.match, string.gsub

local function split(s, sep)
  local out, start = {}, 1
  while true do
    local a, b = find(s, sep, start, true)
    if not a then out[#out + 1] = sub(s, start); return out end
    out[#out + 1] = sub(s, start, a - 1)
    start = b + 1
  end
end

local function trim(s) return match(s, "^%s*(.-)%s*$") end

local prefix = { G = 1e9, M = 1e6, k = 1e3, c = 1e-2, m = 1e-3, u = 1e-6, n = 1e-9 }
local function parseToFloat(input)
  local s = trim(input)
  s = gsub(gsub(gsub(gsub(gsub(s, "Hz", ""), "dB", ""), "dbm", ""), "s", ""), "V$", "")
  s = trim(s)
  local m = prefix[sub(s, -1)]
  if m then s = sub(s, 1, -2) else m = 1 end
  local e = match(s, "[eE][+-]?%d+$")
  if e then
    m = m * 10 ^ tonumber(sub(e, 2))
    s = sub(s, 1, -#e - 1)
  end
  local v = tonumber(s)
  if not v then return 0 end
  return v * m
end

local names = { "MEASURED_AT", "CHANNEL", "FREQUENCY_HZ", "LEVEL_DBM", "SUPPLY_V" }

local function run(texts)
  local saved = 0
  local t0 = os.clock()
  for i = 1, #lines do
    local line_content = lines[i]
    local parts = split(line_content, ";")
    if #parts ~= 5 then error("Expected 5 fields: " .. line_content) end
    local row = { trim(parts[1]), trim(parts[2]), parseToFloat(parts[3]), parseToFloat(parts[4]),
                  parseToFloat(parts[5]) }
    if texts then
      if #names ~= #row then error("counts do not tally") end
      local out = {}
      for k = 1, #row do out[k] = tostring(row[k]) end
    end
    saved = saved + 1
  end
  return (os.clock() - t0) * 1e9 / #lines
end

local best, bestTexts = math.huge, math.huge
for _ = 1, 3 do
  best = math.min(best, run(false))
  bestTexts = math.min(bestTexts, run(true))
end
print(string.format("%.1f %.1f", best, bestTexts))
