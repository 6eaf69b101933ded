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

-- Format version of the shipped database. Raise it with every change that the
-- databases of existing data folders need, and bring them up to it in
-- ledger/dbupgrade.cpp.
PRAGMA user_version = 2;

-- Company master, one row per company.
CREATE TABLE T_COMP_MAIN (
    CID      TEXT NOT NULL,                 -- company id, two digits
    COMPANY  TEXT,                          -- company name
    CFKN     TEXT,                          -- reading (kana) of the company name
    ZIP      TEXT,                          -- postal code
    ADRSTDHK TEXT,                          -- prefecture
    ADRS1    TEXT,                          -- address, first line
    ADRS2    TEXT,                          -- address, second line
    TEL      TEXT,                          -- telephone number
    FAX      TEXT,                          -- fax number
    TYAKU    TEXT,                          -- title of the representative
    TNAME    TEXT,                          -- name of the representative
    TFKN     TEXT,                          -- reading (kana) of the representative's name
    NOMAL    TEXT,                          -- '0' normal fiscal year, '1' business started within the period
    KISYU    TEXT,                          -- first day of the fiscal period (期首), yyyy/mm/dd
    KIMATU   TEXT,                          -- last day of the fiscal period (期末), yyyy/mm/dd
    GKBN     TEXT,                          -- '0' individual, '1' corporation
    STKBN    TEXT,                          -- written empty, no other value is set
    KANCNG   TEXT,                          -- '1' exchange-rate input on, '0' off
    NENDOSU  INTEGER NOT NULL DEFAULT 0,    -- fiscal period number (第 n 期)
    PKISYU   TEXT,                          -- KISYU for printing, "yyyy年mm月dd日"
    PKIMATU  TEXT,                          -- KIMATU for printing, "yyyy年mm月dd日"
    KISYUM   TEXT,                          -- month of KISYU, yyyy/mm
    SETURITU TEXT,                          -- founding date as typed
    SIHON    INTEGER NOT NULL DEFAULT 0,    -- capital (amount)
    SIINLDAY TEXT,                          -- last day of the voucher input range (KIMATU plus three months)
    AICODE   TEXT,                          -- KOCODE of the counter account
    RATE     REAL NOT NULL DEFAULT 0,       -- exchange rate
    PRIMARY KEY (CID)
) STRICT;

-- The current company's row (exactly one row; its CID is also the company
-- chosen at the next start).
CREATE TABLE WK_COMPANY (
    CID      TEXT NOT NULL,                 -- company id, two digits
    COMPANY  TEXT,                          -- company name
    CFKN     TEXT,                          -- reading (kana) of the company name
    ZIP      TEXT,                          -- postal code
    ADRSTDHK TEXT,                          -- prefecture
    ADRS1    TEXT,                          -- address, first line
    ADRS2    TEXT,                          -- address, second line
    TEL      TEXT,                          -- telephone number
    FAX      TEXT,                          -- fax number
    TYAKU    TEXT,                          -- title of the representative
    TNAME    TEXT,                          -- name of the representative
    TFKN     TEXT,                          -- reading (kana) of the representative's name
    NOMAL    TEXT,                          -- '0' normal fiscal year, '1' business started within the period
    KISYU    TEXT,                          -- first day of the fiscal period (期首), yyyy/mm/dd
    KIMATU   TEXT,                          -- last day of the fiscal period (期末), yyyy/mm/dd
    GKBN     TEXT,                          -- '0' individual, '1' corporation
    STKBN    TEXT,                          -- written empty, no other value is set
    KANCNG   TEXT,                          -- '1' exchange-rate input on, '0' off
    NENDOSU  INTEGER NOT NULL DEFAULT 0,    -- fiscal period number (第 n 期)
    PKISYU   TEXT,                          -- KISYU for printing, "yyyy年mm月dd日"
    PKIMATU  TEXT,                          -- KIMATU for printing, "yyyy年mm月dd日"
    KISYUM   TEXT,                          -- month of KISYU, yyyy/mm
    SETURITU TEXT,                          -- founding date as typed
    SIHON    INTEGER NOT NULL DEFAULT 0,    -- capital (amount)
    SIINLDAY TEXT,                          -- last day of the voucher input range (KIMATU plus three months)
    AICODE   TEXT,                          -- KOCODE of the counter account
    RATE     REAL NOT NULL DEFAULT 0,       -- exchange rate
    PRIMARY KEY (CID)
) STRICT;

-- Previous fiscal year's company row of each company.
CREATE TABLE BT_COMP_MAIN (
    CID      TEXT NOT NULL,                 -- company id, two digits
    COMPANY  TEXT,                          -- company name
    CFKN     TEXT,                          -- reading (kana) of the company name
    ZIP      TEXT,                          -- postal code
    ADRSTDHK TEXT,                          -- prefecture
    ADRS1    TEXT,                          -- address, first line
    ADRS2    TEXT,                          -- address, second line
    TEL      TEXT,                          -- telephone number
    FAX      TEXT,                          -- fax number
    TYAKU    TEXT,                          -- title of the representative
    TNAME    TEXT,                          -- name of the representative
    TFKN     TEXT,                          -- reading (kana) of the representative's name
    NOMAL    TEXT,                          -- '0' normal fiscal year, '1' business started within the period
    KISYU    TEXT,                          -- first day of the fiscal period (期首), yyyy/mm/dd
    KIMATU   TEXT,                          -- last day of the fiscal period (期末), yyyy/mm/dd
    GKBN     TEXT,                          -- '0' individual, '1' corporation
    STKBN    TEXT,                          -- written empty, no other value is set
    KANCNG   TEXT,                          -- '1' exchange-rate input on, '0' off
    NENDOSU  INTEGER NOT NULL DEFAULT 0,    -- fiscal period number (第 n 期)
    PKISYU   TEXT,                          -- KISYU for printing, "yyyy年mm月dd日"
    PKIMATU  TEXT,                          -- KIMATU for printing, "yyyy年mm月dd日"
    KISYUM   TEXT,                          -- month of KISYU, yyyy/mm
    SETURITU TEXT,                          -- founding date as typed
    SIHON    INTEGER NOT NULL DEFAULT 0,    -- capital (amount)
    SIINLDAY TEXT,                          -- last day of the voucher input range (KIMATU plus three months)
    AICODE   TEXT,                          -- KOCODE of the counter account
    RATE     REAL NOT NULL DEFAULT 0,       -- exchange rate
    PRIMARY KEY (CID)
) STRICT;

-- Chart template: CID (overwritten with the company id before each copy)
-- followed by the 24 columns of T_KANJO. KISYUZAN is an amount, JUN an order.
CREATE TABLE MT_KANJO (
    CID       TEXT,                         -- company id, two digits
    KOCODE    TEXT NOT NULL,                -- internal account code, by which every table names accounts
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KNBUN     TEXT,                         -- carried and copied only
    KANNAME   TEXT,                         -- account name
    SYORIKBN  TEXT,                         -- '0' posting account, '1' total account, '2' class
    TAIKBN    TEXT,                         -- '0' debit-normal, otherwise credit-normal
    TOCODE    TEXT,                         -- KOCODE of the total account it rolls up into
    BUNCODE   TEXT,                         -- KOCODE of the parent class, "000" = top class
    NOCNG     TEXT,                         -- copied only
    BUMONSET  TEXT,                         -- copied only
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    HOSETNO   TEXT,                         -- 'N' with HOJOSET 'Y': the daily entry offers the sub-account list
    SIYOU     TEXT,                         -- 'Y' in use, 'N' not used
    PCODE1    TEXT,                         -- statement layout code 1
    PCODE2    TEXT,                         -- statement layout code 2
    PCODE3    TEXT,                         -- statement layout code 3
    KAIPAGE   TEXT,                         -- statement page code
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    AICODE    TEXT,                         -- KOCODE of the counter account
    DAIBUN    TEXT,                         -- major class: '1' income grid, '2'/'3' purchase and expense grid
    TYUBUN    TEXT,                         -- middle class, copied only
    SYOBUN    TEXT,                         -- minor class, copied only
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    KISYUMKBN TEXT,                         -- '1' or '2' keeps the account out of the daily-entry grids
    PRIMARY KEY (KOCODE)
) STRICT;

-- Working chart of the current company (no CID).
CREATE TABLE T_KANJO (
    KOCODE    TEXT NOT NULL,                -- internal account code, by which every table names accounts
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KNBUN     TEXT,                         -- carried and copied only
    KANNAME   TEXT,                         -- account name
    SYORIKBN  TEXT,                         -- '0' posting account, '1' total account, '2' class
    TAIKBN    TEXT,                         -- '0' debit-normal, otherwise credit-normal
    TOCODE    TEXT,                         -- KOCODE of the total account it rolls up into
    BUNCODE   TEXT,                         -- KOCODE of the parent class, "000" = top class
    NOCNG     TEXT,                         -- copied only
    BUMONSET  TEXT,                         -- copied only
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    HOSETNO   TEXT,                         -- 'N' with HOJOSET 'Y': the daily entry offers the sub-account list
    SIYOU     TEXT,                         -- 'Y' in use, 'N' not used
    PCODE1    TEXT,                         -- statement layout code 1
    PCODE2    TEXT,                         -- statement layout code 2
    PCODE3    TEXT,                         -- statement layout code 3
    KAIPAGE   TEXT,                         -- statement page code
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    AICODE    TEXT,                         -- KOCODE of the counter account
    DAIBUN    TEXT,                         -- major class: '1' income grid, '2'/'3' purchase and expense grid
    TYUBUN    TEXT,                         -- middle class, copied only
    SYOBUN    TEXT,                         -- minor class, copied only
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    KISYUMKBN TEXT,                         -- '1' or '2' keeps the account out of the daily-entry grids
    PRIMARY KEY (KOCODE)
) STRICT;

-- Previous fiscal year's chart per company: CID, then the columns of T_KANJO.
CREATE TABLE BT_KANJO (
    CID       TEXT NOT NULL,                -- company id, two digits
    KOCODE    TEXT NOT NULL,                -- internal account code, by which every table names accounts
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KNBUN     TEXT,                         -- carried and copied only
    KANNAME   TEXT,                         -- account name
    SYORIKBN  TEXT,                         -- '0' posting account, '1' total account, '2' class
    TAIKBN    TEXT,                         -- '0' debit-normal, otherwise credit-normal
    TOCODE    TEXT,                         -- KOCODE of the total account it rolls up into
    BUNCODE   TEXT,                         -- KOCODE of the parent class, "000" = top class
    NOCNG     TEXT,                         -- copied only
    BUMONSET  TEXT,                         -- copied only
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    HOSETNO   TEXT,                         -- 'N' with HOJOSET 'Y': the daily entry offers the sub-account list
    SIYOU     TEXT,                         -- 'Y' in use, 'N' not used
    PCODE1    TEXT,                         -- statement layout code 1
    PCODE2    TEXT,                         -- statement layout code 2
    PCODE3    TEXT,                         -- statement layout code 3
    KAIPAGE   TEXT,                         -- statement page code
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    AICODE    TEXT,                         -- KOCODE of the counter account
    DAIBUN    TEXT,                         -- major class: '1' income grid, '2'/'3' purchase and expense grid
    TYUBUN    TEXT,                         -- middle class, copied only
    SYOBUN    TEXT,                         -- minor class, copied only
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    KISYUMKBN TEXT,                         -- '1' or '2' keeps the account out of the daily-entry grids
    PRIMARY KEY (CID, KOCODE)
) STRICT;

-- Each company's own chart columns and opening balances.
CREATE TABLE T_KISYUZAN (
    CID       TEXT NOT NULL,                -- company id, two digits
    KOCODE    TEXT NOT NULL,                -- internal account code, by which every table names accounts
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KANNAME   TEXT,                         -- account name
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    SIYOU     TEXT,                         -- 'Y' in use, 'N' not used
    AICODE    TEXT,                         -- KOCODE of the counter account
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    KISYUMKBN TEXT,                         -- '1' or '2' keeps the account out of the daily-entry grids
    RATE      REAL NOT NULL DEFAULT 0,      -- exchange rate
    PRIMARY KEY (CID, KOCODE)
) STRICT;

CREATE TABLE BT_KISYUZAN (
    CID       TEXT NOT NULL,                -- company id, two digits
    KOCODE    TEXT NOT NULL,                -- internal account code, by which every table names accounts
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KANNAME   TEXT,                         -- account name
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    SIYOU     TEXT,                         -- 'Y' in use, 'N' not used
    AICODE    TEXT,                         -- KOCODE of the counter account
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    KISYUMKBN TEXT,                         -- '1' or '2' keeps the account out of the daily-entry grids
    RATE      REAL NOT NULL DEFAULT 0,      -- exchange rate
    PRIMARY KEY (CID, KOCODE)
) STRICT;

-- Sub-accounts (at most nine per account, HOKOCODE "01" to "09").
CREATE TABLE T_HOJOKAMOKU (
    CID       TEXT NOT NULL,                -- company id, two digits
    KANKOCODE TEXT NOT NULL,                -- KOCODE of the account
    HOKOCODE  TEXT NOT NULL,                -- internal sub-account code "01".."09"
    HOCODE    TEXT,                         -- the user's sub-account code
    HONAME    TEXT,                         -- sub-account name
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    PRIMARY KEY (CID, KANKOCODE, HOKOCODE)
) STRICT;

CREATE TABLE BT_HOJOKAMOKU (
    CID       TEXT NOT NULL,                -- company id, two digits
    KANKOCODE TEXT NOT NULL,                -- KOCODE of the account
    HOKOCODE  TEXT NOT NULL,                -- internal sub-account code "01".."09"
    HOCODE    TEXT,                         -- the user's sub-account code
    HONAME    TEXT,                         -- sub-account name
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    PRIMARY KEY (CID, KANKOCODE, HOKOCODE)
) STRICT;
