-- Companies and charts of accounts.
--
-- Conventions of every table of the shipped database:
--   * codes, dates ("yyyy/mm/dd"), months ("yyyy/mm") and flags are TEXT;
--   * amounts are INTEGER, the raw count of 1/10,000 yen (Currency);
--   * counters and orders are INTEGER, exchange rates REAL;
--   * every number column is NOT NULL DEFAULT 0;
--   * the physical column order is the order the row writers insert by
--     position, so columns are never reordered;
--   * a previous-year copy (BT_), an editing copy (WK_) or a staging copy has
--     exactly the columns and key of its table (BT_KANJO adds CID in front).
-- Tables are STRICT, so a value of the wrong kind is refused instead of stored.
-- Files 010 to 099 define the tables, 100 holds the backup catalogue, 200 on
-- the seed rows.

-- Format version of the shipped database.
PRAGMA user_version = 1;

-- Company master, one row per company.
CREATE TABLE T_COMP_MAIN (
    CID      TEXT NOT NULL,
    COMPANY  TEXT,
    CFKN     TEXT,
    ZIP      TEXT,
    ADRSTDHK TEXT,
    ADRS1    TEXT,
    ADRS2    TEXT,
    TEL      TEXT,
    FAX      TEXT,
    TYAKU    TEXT,
    TNAME    TEXT,
    TFKN     TEXT,
    NOMAL    TEXT,
    KISYU    TEXT,
    KIMATU   TEXT,
    GKBN     TEXT,
    STKBN    TEXT,
    KANCNG   TEXT,
    NENDOSU  INTEGER NOT NULL DEFAULT 0,
    PKISYU   TEXT,
    PKIMATU  TEXT,
    KISYUM   TEXT,
    SETURITU TEXT,
    SIHON    INTEGER NOT NULL DEFAULT 0,
    SIINLDAY TEXT,
    AICODE   TEXT,
    RATE     REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (CID)
) STRICT;

-- The current company's row (exactly one row; its CID is also the company
-- chosen at the next start).
CREATE TABLE WK_COMPANY (
    CID      TEXT NOT NULL,
    COMPANY  TEXT,
    CFKN     TEXT,
    ZIP      TEXT,
    ADRSTDHK TEXT,
    ADRS1    TEXT,
    ADRS2    TEXT,
    TEL      TEXT,
    FAX      TEXT,
    TYAKU    TEXT,
    TNAME    TEXT,
    TFKN     TEXT,
    NOMAL    TEXT,
    KISYU    TEXT,
    KIMATU   TEXT,
    GKBN     TEXT,
    STKBN    TEXT,
    KANCNG   TEXT,
    NENDOSU  INTEGER NOT NULL DEFAULT 0,
    PKISYU   TEXT,
    PKIMATU  TEXT,
    KISYUM   TEXT,
    SETURITU TEXT,
    SIHON    INTEGER NOT NULL DEFAULT 0,
    SIINLDAY TEXT,
    AICODE   TEXT,
    RATE     REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (CID)
) STRICT;

-- Previous fiscal year's company row of each company.
CREATE TABLE BT_COMP_MAIN (
    CID      TEXT NOT NULL,
    COMPANY  TEXT,
    CFKN     TEXT,
    ZIP      TEXT,
    ADRSTDHK TEXT,
    ADRS1    TEXT,
    ADRS2    TEXT,
    TEL      TEXT,
    FAX      TEXT,
    TYAKU    TEXT,
    TNAME    TEXT,
    TFKN     TEXT,
    NOMAL    TEXT,
    KISYU    TEXT,
    KIMATU   TEXT,
    GKBN     TEXT,
    STKBN    TEXT,
    KANCNG   TEXT,
    NENDOSU  INTEGER NOT NULL DEFAULT 0,
    PKISYU   TEXT,
    PKIMATU  TEXT,
    KISYUM   TEXT,
    SETURITU TEXT,
    SIHON    INTEGER NOT NULL DEFAULT 0,
    SIINLDAY TEXT,
    AICODE   TEXT,
    RATE     REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (CID)
) STRICT;

-- Chart template: CID (overwritten with the company id before each copy)
-- followed by the 24 columns of T_KANJO. KISYUZAN is an amount, JUN an order.
CREATE TABLE MT_KANJO (
    CID       TEXT,
    KOCODE    TEXT NOT NULL,
    KMCODE    TEXT,
    KNBUN     TEXT,
    KANNAME   TEXT,
    SYORIKBN  TEXT,
    TAIKBN    TEXT,
    TOCODE    TEXT,
    BUNCODE   TEXT,
    NOCNG     TEXT,
    BUMONSET  TEXT,
    HOJOSET   TEXT,
    HOSETNO   TEXT,
    SIYOU     TEXT,
    PCODE1    TEXT,
    PCODE2    TEXT,
    PCODE3    TEXT,
    KAIPAGE   TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    AICODE    TEXT,
    DAIBUN    TEXT,
    TYUBUN    TEXT,
    SYOBUN    TEXT,
    JUN       INTEGER NOT NULL DEFAULT 0,
    KISYUMKBN TEXT,
    PRIMARY KEY (KOCODE)
) STRICT;

-- Working chart of the current company (no CID).
CREATE TABLE T_KANJO (
    KOCODE    TEXT NOT NULL,
    KMCODE    TEXT,
    KNBUN     TEXT,
    KANNAME   TEXT,
    SYORIKBN  TEXT,
    TAIKBN    TEXT,
    TOCODE    TEXT,
    BUNCODE   TEXT,
    NOCNG     TEXT,
    BUMONSET  TEXT,
    HOJOSET   TEXT,
    HOSETNO   TEXT,
    SIYOU     TEXT,
    PCODE1    TEXT,
    PCODE2    TEXT,
    PCODE3    TEXT,
    KAIPAGE   TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    AICODE    TEXT,
    DAIBUN    TEXT,
    TYUBUN    TEXT,
    SYOBUN    TEXT,
    JUN       INTEGER NOT NULL DEFAULT 0,
    KISYUMKBN TEXT,
    PRIMARY KEY (KOCODE)
) STRICT;

-- Previous fiscal year's chart per company: CID, then the columns of T_KANJO.
CREATE TABLE BT_KANJO (
    CID       TEXT NOT NULL,
    KOCODE    TEXT NOT NULL,
    KMCODE    TEXT,
    KNBUN     TEXT,
    KANNAME   TEXT,
    SYORIKBN  TEXT,
    TAIKBN    TEXT,
    TOCODE    TEXT,
    BUNCODE   TEXT,
    NOCNG     TEXT,
    BUMONSET  TEXT,
    HOJOSET   TEXT,
    HOSETNO   TEXT,
    SIYOU     TEXT,
    PCODE1    TEXT,
    PCODE2    TEXT,
    PCODE3    TEXT,
    KAIPAGE   TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    AICODE    TEXT,
    DAIBUN    TEXT,
    TYUBUN    TEXT,
    SYOBUN    TEXT,
    JUN       INTEGER NOT NULL DEFAULT 0,
    KISYUMKBN TEXT,
    PRIMARY KEY (CID, KOCODE)
) STRICT;

-- Each company's own chart columns and opening balances.
CREATE TABLE T_KISYUZAN (
    CID       TEXT NOT NULL,
    KOCODE    TEXT NOT NULL,
    KMCODE    TEXT,
    KANNAME   TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    JUN       INTEGER NOT NULL DEFAULT 0,
    SIYOU     TEXT,
    AICODE    TEXT,
    HOJOSET   TEXT,
    KISYUMKBN TEXT,
    RATE      REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KOCODE)
) STRICT;

CREATE TABLE BT_KISYUZAN (
    CID       TEXT NOT NULL,
    KOCODE    TEXT NOT NULL,
    KMCODE    TEXT,
    KANNAME   TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    JUN       INTEGER NOT NULL DEFAULT 0,
    SIYOU     TEXT,
    AICODE    TEXT,
    HOJOSET   TEXT,
    KISYUMKBN TEXT,
    RATE      REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KOCODE)
) STRICT;

-- Sub-accounts (at most nine per account, HOKOCODE "01" to "09").
CREATE TABLE T_HOJOKAMOKU (
    CID       TEXT NOT NULL,
    KANKOCODE TEXT NOT NULL,
    HOKOCODE  TEXT NOT NULL,
    HOCODE    TEXT,
    HONAME    TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KANKOCODE, HOKOCODE)
) STRICT;

CREATE TABLE BT_HOJOKAMOKU (
    CID       TEXT NOT NULL,
    KANKOCODE TEXT NOT NULL,
    HOKOCODE  TEXT NOT NULL,
    HOCODE    TEXT,
    HONAME    TEXT,
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KANKOCODE, HOKOCODE)
) STRICT;
