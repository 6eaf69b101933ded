-- The table definitions and seed rows of the shipped database follow in numbered files.
PRAGMA user_version = 1;
