/* Settings database of Quillon: channels, the scanned-file log and named settings.
   Run by scripts/create-database.sh into a new Firebird file. */

CREATE TABLE CHANNEL_SETTING (
  ID                    INTEGER NOT NULL,
  DESCRIPTION           VARCHAR(255) NOT NULL,
  SCANNED_LOCATION      VARCHAR(1024),
  PROCESSED_LOCATION    VARCHAR(1024),
  FILE_EXTENSION        VARCHAR(64),
  FILE_NAME_STARTS_WITH VARCHAR(255),
  FILE_NAME_ENDS_WITH   VARCHAR(255),
  DISABLED              INTEGER,
  SCAN_INTERVAL         INTEGER,
  LOGGED                INTEGER,
  RULE_FILE             VARCHAR(1024),
  DB_TYPE               VARCHAR(32),
  DB_SERVER_NAME        VARCHAR(255),
  DB_NAME               VARCHAR(1024),
  DB_USER_NAME          VARCHAR(255),
  DB_PASSWORD           VARCHAR(1024)
);

CREATE TABLE LOG_SCANNED_FILE (
  FILE_LOCATION VARCHAR(1024),
  CREATED       TIMESTAMP
);

/* Named settings of the data-access library (GetSettingValue / SetSettingValue). */
CREATE TABLE APP_SETTING (
  SETTING_NAME  VARCHAR(255) NOT NULL PRIMARY KEY,
  SETTING_VALUE VARCHAR(4000)
);
COMMIT;
