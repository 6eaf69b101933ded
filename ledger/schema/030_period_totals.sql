-- Fiscal period, month status and monthly totals.

-- Months of the fiscal year with their labels.
CREATE TABLE T_DAY_INPUT (
    CID   TEXT NOT NULL,
    INYM  TEXT NOT NULL,
    OUTYM TEXT,
    PRIMARY KEY (CID, INYM)
) STRICT;

CREATE TABLE BT_DAY_INPUT (
    CID   TEXT NOT NULL,
    INYM  TEXT NOT NULL,
    OUTYM TEXT,
    PRIMARY KEY (CID, INYM)
) STRICT;

-- Summation status per month ('0' to recompute, '1' up to date) for the
-- account totals (SYORIFLG) and the sub-account totals (SYORIFLGH).
CREATE TABLE T_TUKISIME (
    CID       TEXT NOT NULL,
    DATEYM    TEXT NOT NULL,
    SYORIFLG  TEXT,
    SYORIFLGH TEXT,
    SYORIDAY  TEXT,
    PRIMARY KEY (CID, DATEYM)
) STRICT;

CREATE TABLE BT_TUKISIME (
    CID       TEXT NOT NULL,
    DATEYM    TEXT NOT NULL,
    SYORIFLG  TEXT,
    SYORIFLGH TEXT,
    SYORIDAY  TEXT,
    PRIMARY KEY (CID, DATEYM)
) STRICT;

-- Target month of the last completed summation, one row per company.
CREATE TABLE T_TUKISIMECHECK (
    CID    TEXT NOT NULL,
    DATEYM TEXT,
    PRIMARY KEY (CID)
) STRICT;

-- Monthly totals per account: the month's debit and credit totals and the
-- running totals from the opening pseudo-month "yyyy/00".
CREATE TABLE T_TUKIKAN (
    CID       TEXT NOT NULL,
    KANKOCODE TEXT NOT NULL,
    DATEYM    TEXT NOT NULL,
    KRTOTAL   INTEGER NOT NULL DEFAULT 0,
    KSTOTAL   INTEGER NOT NULL DEFAULT 0,
    KRRUI     INTEGER NOT NULL DEFAULT 0,
    KSRUI     INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KANKOCODE, DATEYM)
) STRICT;

CREATE INDEX T_TUKIKAN_MONTH ON T_TUKIKAN (CID, DATEYM);

-- Monthly totals per sub-account (HOCODE holds the internal HOKOCODE).
CREATE TABLE T_TUKIHOJO (
    CID       TEXT NOT NULL,
    KANKOCODE TEXT NOT NULL,
    HOCODE    TEXT NOT NULL,
    DATEYM    TEXT NOT NULL,
    KRTOTAL   INTEGER NOT NULL DEFAULT 0,
    KSTOTAL   INTEGER NOT NULL DEFAULT 0,
    KRRUI     INTEGER NOT NULL DEFAULT 0,
    KSRUI     INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (CID, KANKOCODE, HOCODE, DATEYM)
) STRICT;
