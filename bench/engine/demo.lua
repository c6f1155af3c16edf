-- The demo rule's work in Lua 5.4, for comparison: split, unit/prefix parse, row table.
local path = arg[1]
local lines = {}
for l in io.lines(path) do lines[#lines + 1] = l end

local function split(s, sep)
  local out, start = {}, 1
  while true do
    local a, b = string.find(s, sep, start, true)
    if not a then out[#out + 1] = string.sub(s, start); return out end
    out[#out + 1] = string.sub(s, start, a - 1)
    start = b + 1
  end
end

local mult = { G = 1e9, M = 1e6, k = 1e3, c = 1e-2, m = 1e-3, u = 1e-6, n = 1e-9 }
local function parseToFloat(s)
  s = s:match("^%s*(.-)%s*$")
  s = s:gsub("Hz", ""):gsub("dB", ""):gsub("dbm", ""):gsub("dBc", ""):gsub("s", ""):gsub("V$", "")
  s = s:match("^%s*(.-)%s*$")
  local m = 1
  local last = s:sub(-1)
  if mult[last] then m = mult[last]; s = s:sub(1, -2) end
  local v = tonumber(s)
  if not v then return 0 end
  return v * m
end

local saved = 0
local function saveResult(tbl, names, values)
  if #names ~= #values then return false end
  saved = saved + 1
  return true
end

local names = { "MEASURED_AT", "CHANNEL", "FREQUENCY_HZ", "LEVEL_DBM", "SUPPLY_V" }
local t0 = os.clock()
for i = 1, #lines do
  local line_content = lines[i]
  local parts = split(line_content, ";")
  saveResult("MEASUREMENT", names,
    { parts[1], parts[2], parseToFloat(parts[3]), parseToFloat(parts[4]), parseToFloat(parts[5]) })
end
local t1 = os.clock()
print(string.format("%.1f", (t1 - t0) * 1e9 / #lines))
