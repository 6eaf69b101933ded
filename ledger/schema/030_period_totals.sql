-- Fiscal period, month status and monthly totals.

-- Months of the fiscal year with their labels.
CREATE TABLE T_DAY_INPUT (
    CID   TEXT NOT NULL,                    -- company id, two digits
    INYM  TEXT NOT NULL,                    -- month, yyyy/mm
    OUTYM TEXT,                             -- the month's label "yyyy年 m月"
    PRIMARY KEY (CID, INYM)
) STRICT;

CREATE TABLE BT_DAY_INPUT (
    CID   TEXT NOT NULL,                    -- company id, two digits
    INYM  TEXT NOT NULL,                    -- month, yyyy/mm
    OUTYM TEXT,                             -- the month's label "yyyy年 m月"
    PRIMARY KEY (CID, INYM)
) STRICT;

-- Summation status per month ('0' to recompute, '1' up to date) for the
-- account totals (SYORIFLG) and the sub-account totals (SYORIFLGH).
CREATE TABLE T_TUKISIME (
    CID       TEXT NOT NULL,                -- company id, two digits
    DATEYM    TEXT NOT NULL,                -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    SYORIFLG  TEXT,                         -- account totals of the month: '0' recompute, '1' up to date
    SYORIFLGH TEXT,                         -- sub-account totals of the month: '0' recompute, '1' up to date
    SYORIDAY  TEXT,                         -- the day a flag was last set
    PRIMARY KEY (CID, DATEYM)
) STRICT;

CREATE TABLE BT_TUKISIME (
    CID       TEXT NOT NULL,                -- company id, two digits
    DATEYM    TEXT NOT NULL,                -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    SYORIFLG  TEXT,                         -- account totals of the month: '0' recompute, '1' up to date
    SYORIFLGH TEXT,                         -- sub-account totals of the month: '0' recompute, '1' up to date
    SYORIDAY  TEXT,                         -- the day a flag was last set
    PRIMARY KEY (CID, DATEYM)
) STRICT;

-- Target month of the last completed summation, one row per company.
CREATE TABLE T_TUKISIMECHECK (
    CID    TEXT NOT NULL,                   -- company id, two digits
    DATEYM TEXT,                            -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    PRIMARY KEY (CID)
) STRICT;

-- Monthly totals per account: the month's debit and credit totals and the
-- running totals from the opening pseudo-month "yyyy/00".
CREATE TABLE T_TUKIKAN (
    CID       TEXT NOT NULL,                -- company id, two digits
    KANKOCODE TEXT NOT NULL,                -- KOCODE of the account
    DATEYM    TEXT NOT NULL,                -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    KRTOTAL   INTEGER NOT NULL DEFAULT 0,   -- debit total of the month (amount)
    KSTOTAL   INTEGER NOT NULL DEFAULT 0,   -- credit total of the month (amount)
    KRRUI     INTEGER NOT NULL DEFAULT 0,   -- debit total from the opening row through the month (amount)
    KSRUI     INTEGER NOT NULL DEFAULT 0,   -- credit total from the opening row through the month (amount)
    PRIMARY KEY (CID, KANKOCODE, DATEYM)
) STRICT;

CREATE INDEX T_TUKIKAN_MONTH ON T_TUKIKAN (CID, DATEYM);

-- Monthly totals per sub-account (HOCODE holds the internal HOKOCODE).
CREATE TABLE T_TUKIHOJO (
    CID       TEXT NOT NULL,                -- company id, two digits
    KANKOCODE TEXT NOT NULL,                -- KOCODE of the account
    HOCODE    TEXT NOT NULL,                -- the user's sub-account code
    DATEYM    TEXT NOT NULL,                -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    KRTOTAL   INTEGER NOT NULL DEFAULT 0,   -- debit total of the month (amount)
    KSTOTAL   INTEGER NOT NULL DEFAULT 0,   -- credit total of the month (amount)
    KRRUI     INTEGER NOT NULL DEFAULT 0,   -- debit total from the opening row through the month (amount)
    KSRUI     INTEGER NOT NULL DEFAULT 0,   -- credit total from the opening row through the month (amount)
    PRIMARY KEY (CID, KANKOCODE, HOCODE, DATEYM)
) STRICT;
