// Demo rule (C++ syntax). Reads measurement lines such as
//   2026-12-11 10:00:00;CH01;2.4GHz;-50dbm;12 V
// and saves each as one row of the table MEASUREMENT.
//
// An error raised here leaves the file in the scanned folder instead of moving it on
// with rows missing: a line with the wrong number of fields and a row the repository
// refused both raise one.
Variant parts;
{
  parts = Split(line_content, ";");
  if (Length(parts) != 5)
    RaiseException("Expected 5 fields separated by \";\": " + line_content);
  if (!SaveResult("MEASUREMENT",
        ["MEASURED_AT", "CHANNEL", "FREQUENCY_HZ", "LEVEL_DBM", "SUPPLY_V"],
        [Trim(parts[0]), Trim(parts[1]), ParseToFloat(parts[2]), ParseToFloat(parts[3]),
         ParseToFloat(parts[4])]))
    RaiseException("Row not saved: " + line_content);
}
