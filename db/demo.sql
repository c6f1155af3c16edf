/* The demo repository: one row per measurement line that rules/demo.arp saves. */
CREATE TABLE MEASUREMENT (
  MEASURED_AT  TIMESTAMP,
  CHANNEL      VARCHAR(32),
  FREQUENCY_HZ DOUBLE PRECISION,
  LEVEL_DBM    DOUBLE PRECISION,
  SUPPLY_V     DOUBLE PRECISION
);
COMMIT;
