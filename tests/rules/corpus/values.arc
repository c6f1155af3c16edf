// The texts SaveResult hands to the repository for every kind of value.
Variant unset;
SaveResult("T", ["S", "I", "D", "SMALL", "BIG", "B", "DT", "DAY", "MS", "E", "N"],
  [line_content, 42, 0.5, 1e-9, 2.4e12, true, StrToDateTime("2026-12-11 10:30:00"),
   EncodeDate(2026, 12, 11), EncodeTime(10, 30, 0, 250), unset, Null]);
