// ParseToFloat: units, decimal prefixes and exponents; 0 for a text that is no number.
SaveResult("P", ["TEXT", "VALUE"], [line_content, ParseToFloat(line_content)]);
