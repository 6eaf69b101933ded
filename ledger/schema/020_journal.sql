-- Journal: day vouchers, journal lines, day amounts, patterns and descriptions.

-- Day vouchers, one per company and day. YDAYZAN and DAYZAN are the cash
-- balance before and after the day; RATE the exchange rate of the day.
CREATE TABLE T_SIWAKE (
    CID     TEXT NOT NULL,                  -- company id, two digits
    DENCODE TEXT NOT NULL,                  -- voucher code "00001", the company's highest plus one
    DENNO   TEXT,                           -- voucher number shown and printed
    DENDAY  TEXT,                           -- the voucher's day, yyyy/mm/dd
    INDAY   TEXT,                           -- the day the voucher row was created
    KESSAN  TEXT,                           -- '1' the day registered, '0' not yet or deleted
    YDAYZAN INTEGER NOT NULL DEFAULT 0,     -- cash balance before the day (amount)
    DAYZAN  INTEGER NOT NULL DEFAULT 0,     -- cash balance after the day (amount)
    RATE    REAL NOT NULL DEFAULT 0,        -- exchange rate
    PRIMARY KEY (CID, DENCODE)
) STRICT;

CREATE INDEX T_SIWAKE_DAY ON T_SIWAKE (CID, DENDAY);

CREATE TABLE BT_SIWAKE (
    CID     TEXT NOT NULL,                  -- company id, two digits
    DENCODE TEXT NOT NULL,                  -- voucher code "00001", the company's highest plus one
    DENNO   TEXT,                           -- voucher number shown and printed
    DENDAY  TEXT,                           -- the voucher's day, yyyy/mm/dd
    INDAY   TEXT,                           -- the day the voucher row was created
    KESSAN  TEXT,                           -- '1' the day registered, '0' not yet or deleted
    YDAYZAN INTEGER NOT NULL DEFAULT 0,     -- cash balance before the day (amount)
    DAYZAN  INTEGER NOT NULL DEFAULT 0,     -- cash balance after the day (amount)
    RATE    REAL NOT NULL DEFAULT 0,        -- exchange rate
    PRIMARY KEY (CID, DENCODE)
) STRICT;

-- Journal lines of a voucher: a debit side (KR) and a credit side (KS) of
-- eleven columns each. ptcode is the one lower-case column name.
CREATE TABLE T_SI_MEISAI (
    DENCODE    TEXT NOT NULL,               -- voucher code "00001", the company's highest plus one
    DENMENO    TEXT NOT NULL,               -- line number within the voucher "001"
    CID        TEXT NOT NULL,               -- company id, two digits
    SIDAY      TEXT,                        -- the line's day, yyyy/mm/dd
    DATEYM     TEXT,                        -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    SISYU      TEXT,                        -- '0' a grid row's or pattern's line, '1' a free line
    KRKOCODE   TEXT,                        -- debit account (KOCODE)
    KRHOKOCODE TEXT,                        -- debit sub-account (HOKOCODE)
    KRBUKBN    TEXT,                        -- debit department kind, '00' as written
    KRTKBN     TEXT,                        -- debit tax class: '1' grid rows, '5' other lines
    KRTKOCODE  TEXT,                        -- debit tax account code, "000" as written
    KRTRITU    REAL NOT NULL DEFAULT 0,     -- debit tax rate field: 1 on grid rows, else 0
    KRTKIN     INTEGER NOT NULL DEFAULT 0,  -- debit tax amount, 0 as written
    KRTKINNO   INTEGER NOT NULL DEFAULT 0,  -- debit second amount field, written equal to the amount
    KRKIN      INTEGER NOT NULL DEFAULT 0,  -- debit amount
    KRAICODE   TEXT,                        -- debit counter account (KOCODE)
    KRAIHOCODE TEXT,                        -- debit counter sub-account (HOKOCODE)
    KSKOCODE   TEXT,                        -- credit account (KOCODE)
    KSHOKOCODE TEXT,                        -- credit sub-account (HOKOCODE)
    KSBUKBN    TEXT,                        -- credit department kind, '00' as written
    KSTKBN     TEXT,                        -- credit tax class: '1' grid rows, '5' other lines
    KSTKOCODE  TEXT,                        -- credit tax account code, "000" as written
    KSTRITU    REAL NOT NULL DEFAULT 0,     -- credit tax rate field: 1 on grid rows, else 0
    KSTKIN     INTEGER NOT NULL DEFAULT 0,  -- credit tax amount, 0 as written
    KSTKINNO   INTEGER NOT NULL DEFAULT 0,  -- credit second amount field, written equal to the amount
    KSKIN      INTEGER NOT NULL DEFAULT 0,  -- credit amount
    KSAICODE   TEXT,                        -- credit counter account (KOCODE)
    KSAIHOCODE TEXT,                        -- credit counter sub-account (HOKOCODE)
    TECODE     TEXT,                        -- TEKINO of a registered description, else empty
    TEKIYO     TEXT,                        -- description text
    ptcode     TEXT,                        -- KRCODE + KSCODE of the pattern the line came from
    PRIMARY KEY (CID, DENCODE, DENMENO)
) STRICT;

CREATE INDEX T_SI_MEISAI_DEBIT ON T_SI_MEISAI (CID, KRKOCODE);

CREATE INDEX T_SI_MEISAI_CREDIT ON T_SI_MEISAI (CID, KSKOCODE);

CREATE TABLE BT_SI_MEISAI (
    DENCODE    TEXT NOT NULL,               -- voucher code "00001", the company's highest plus one
    DENMENO    TEXT NOT NULL,               -- line number within the voucher "001"
    CID        TEXT NOT NULL,               -- company id, two digits
    SIDAY      TEXT,                        -- the line's day, yyyy/mm/dd
    DATEYM     TEXT,                        -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    SISYU      TEXT,                        -- '0' a grid row's or pattern's line, '1' a free line
    KRKOCODE   TEXT,                        -- debit account (KOCODE)
    KRHOKOCODE TEXT,                        -- debit sub-account (HOKOCODE)
    KRBUKBN    TEXT,                        -- debit department kind, '00' as written
    KRTKBN     TEXT,                        -- debit tax class: '1' grid rows, '5' other lines
    KRTKOCODE  TEXT,                        -- debit tax account code, "000" as written
    KRTRITU    REAL NOT NULL DEFAULT 0,     -- debit tax rate field: 1 on grid rows, else 0
    KRTKIN     INTEGER NOT NULL DEFAULT 0,  -- debit tax amount, 0 as written
    KRTKINNO   INTEGER NOT NULL DEFAULT 0,  -- debit second amount field, written equal to the amount
    KRKIN      INTEGER NOT NULL DEFAULT 0,  -- debit amount
    KRAICODE   TEXT,                        -- debit counter account (KOCODE)
    KRAIHOCODE TEXT,                        -- debit counter sub-account (HOKOCODE)
    KSKOCODE   TEXT,                        -- credit account (KOCODE)
    KSHOKOCODE TEXT,                        -- credit sub-account (HOKOCODE)
    KSBUKBN    TEXT,                        -- credit department kind, '00' as written
    KSTKBN     TEXT,                        -- credit tax class: '1' grid rows, '5' other lines
    KSTKOCODE  TEXT,                        -- credit tax account code, "000" as written
    KSTRITU    REAL NOT NULL DEFAULT 0,     -- credit tax rate field: 1 on grid rows, else 0
    KSTKIN     INTEGER NOT NULL DEFAULT 0,  -- credit tax amount, 0 as written
    KSTKINNO   INTEGER NOT NULL DEFAULT 0,  -- credit second amount field, written equal to the amount
    KSKIN      INTEGER NOT NULL DEFAULT 0,  -- credit amount
    KSAICODE   TEXT,                        -- credit counter account (KOCODE)
    KSAIHOCODE TEXT,                        -- credit counter sub-account (HOKOCODE)
    TECODE     TEXT,                        -- TEKINO of a registered description, else empty
    TEKIYO     TEXT,                        -- description text
    ptcode     TEXT,                        -- KRCODE + KSCODE of the pattern the line came from
    PRIMARY KEY (CID, DENCODE, DENMENO)
) STRICT;

-- Staging copy of the journal lines of the journal import.
CREATE TABLE T_SIMEISAI_FUKYU (
    DENCODE    TEXT NOT NULL,               -- voucher code "00001", the company's highest plus one
    DENMENO    TEXT NOT NULL,               -- line number within the voucher "001"
    CID        TEXT NOT NULL,               -- company id, two digits
    SIDAY      TEXT,                        -- the line's day, yyyy/mm/dd
    DATEYM     TEXT,                        -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    SISYU      TEXT,                        -- '0' a grid row's or pattern's line, '1' a free line
    KRKOCODE   TEXT,                        -- debit account (KOCODE)
    KRHOKOCODE TEXT,                        -- debit sub-account (HOKOCODE)
    KRBUKBN    TEXT,                        -- debit department kind, '00' as written
    KRTKBN     TEXT,                        -- debit tax class: '1' grid rows, '5' other lines
    KRTKOCODE  TEXT,                        -- debit tax account code, "000" as written
    KRTRITU    REAL NOT NULL DEFAULT 0,     -- debit tax rate field: 1 on grid rows, else 0
    KRTKIN     INTEGER NOT NULL DEFAULT 0,  -- debit tax amount, 0 as written
    KRTKINNO   INTEGER NOT NULL DEFAULT 0,  -- debit second amount field, written equal to the amount
    KRKIN      INTEGER NOT NULL DEFAULT 0,  -- debit amount
    KRAICODE   TEXT,                        -- debit counter account (KOCODE)
    KRAIHOCODE TEXT,                        -- debit counter sub-account (HOKOCODE)
    KSKOCODE   TEXT,                        -- credit account (KOCODE)
    KSHOKOCODE TEXT,                        -- credit sub-account (HOKOCODE)
    KSBUKBN    TEXT,                        -- credit department kind, '00' as written
    KSTKBN     TEXT,                        -- credit tax class: '1' grid rows, '5' other lines
    KSTKOCODE  TEXT,                        -- credit tax account code, "000" as written
    KSTRITU    REAL NOT NULL DEFAULT 0,     -- credit tax rate field: 1 on grid rows, else 0
    KSTKIN     INTEGER NOT NULL DEFAULT 0,  -- credit tax amount, 0 as written
    KSTKINNO   INTEGER NOT NULL DEFAULT 0,  -- credit second amount field, written equal to the amount
    KSKIN      INTEGER NOT NULL DEFAULT 0,  -- credit amount
    KSAICODE   TEXT,                        -- credit counter account (KOCODE)
    KSAIHOCODE TEXT,                        -- credit counter sub-account (HOKOCODE)
    TECODE     TEXT,                        -- TEKINO of a registered description, else empty
    TEKIYO     TEXT,                        -- description text
    ptcode     TEXT,                        -- KRCODE + KSCODE of the pattern the line came from
    PRIMARY KEY (CID, DENCODE, DENMENO)
) STRICT;

-- Amounts typed per account and month in the daily entry's grids; KINd is
-- day d of the month.
CREATE TABLE T_DAY_TORAN (
    CID    TEXT NOT NULL,                   -- company id, two digits
    KOCODE TEXT NOT NULL,                   -- internal account code, by which every table names accounts
    DATEYM TEXT NOT NULL,                   -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    KMCODE TEXT,                            -- the user's account number, empty = slot not in use
    KIN1   INTEGER NOT NULL DEFAULT 0,      -- amount of day 1
    KIN2   INTEGER NOT NULL DEFAULT 0,      -- amount of day 2
    KIN3   INTEGER NOT NULL DEFAULT 0,      -- amount of day 3
    KIN4   INTEGER NOT NULL DEFAULT 0,      -- amount of day 4
    KIN5   INTEGER NOT NULL DEFAULT 0,      -- amount of day 5
    KIN6   INTEGER NOT NULL DEFAULT 0,      -- amount of day 6
    KIN7   INTEGER NOT NULL DEFAULT 0,      -- amount of day 7
    KIN8   INTEGER NOT NULL DEFAULT 0,      -- amount of day 8
    KIN9   INTEGER NOT NULL DEFAULT 0,      -- amount of day 9
    KIN10  INTEGER NOT NULL DEFAULT 0,      -- amount of day 10
    KIN11  INTEGER NOT NULL DEFAULT 0,      -- amount of day 11
    KIN12  INTEGER NOT NULL DEFAULT 0,      -- amount of day 12
    KIN13  INTEGER NOT NULL DEFAULT 0,      -- amount of day 13
    KIN14  INTEGER NOT NULL DEFAULT 0,      -- amount of day 14
    KIN15  INTEGER NOT NULL DEFAULT 0,      -- amount of day 15
    KIN16  INTEGER NOT NULL DEFAULT 0,      -- amount of day 16
    KIN17  INTEGER NOT NULL DEFAULT 0,      -- amount of day 17
    KIN18  INTEGER NOT NULL DEFAULT 0,      -- amount of day 18
    KIN19  INTEGER NOT NULL DEFAULT 0,      -- amount of day 19
    KIN20  INTEGER NOT NULL DEFAULT 0,      -- amount of day 20
    KIN21  INTEGER NOT NULL DEFAULT 0,      -- amount of day 21
    KIN22  INTEGER NOT NULL DEFAULT 0,      -- amount of day 22
    KIN23  INTEGER NOT NULL DEFAULT 0,      -- amount of day 23
    KIN24  INTEGER NOT NULL DEFAULT 0,      -- amount of day 24
    KIN25  INTEGER NOT NULL DEFAULT 0,      -- amount of day 25
    KIN26  INTEGER NOT NULL DEFAULT 0,      -- amount of day 26
    KIN27  INTEGER NOT NULL DEFAULT 0,      -- amount of day 27
    KIN28  INTEGER NOT NULL DEFAULT 0,      -- amount of day 28
    KIN29  INTEGER NOT NULL DEFAULT 0,      -- amount of day 29
    KIN30  INTEGER NOT NULL DEFAULT 0,      -- amount of day 30
    KIN31  INTEGER NOT NULL DEFAULT 0,      -- amount of day 31
    PRIMARY KEY (CID, KOCODE, DATEYM)
) STRICT;

CREATE TABLE BT_DAY_TORAN (
    CID    TEXT NOT NULL,                   -- company id, two digits
    KOCODE TEXT NOT NULL,                   -- internal account code, by which every table names accounts
    DATEYM TEXT NOT NULL,                   -- month, yyyy/mm ("yyyy/00" = the opening pseudo-month)
    KMCODE TEXT,                            -- the user's account number, empty = slot not in use
    KIN1   INTEGER NOT NULL DEFAULT 0,      -- amount of day 1
    KIN2   INTEGER NOT NULL DEFAULT 0,      -- amount of day 2
    KIN3   INTEGER NOT NULL DEFAULT 0,      -- amount of day 3
    KIN4   INTEGER NOT NULL DEFAULT 0,      -- amount of day 4
    KIN5   INTEGER NOT NULL DEFAULT 0,      -- amount of day 5
    KIN6   INTEGER NOT NULL DEFAULT 0,      -- amount of day 6
    KIN7   INTEGER NOT NULL DEFAULT 0,      -- amount of day 7
    KIN8   INTEGER NOT NULL DEFAULT 0,      -- amount of day 8
    KIN9   INTEGER NOT NULL DEFAULT 0,      -- amount of day 9
    KIN10  INTEGER NOT NULL DEFAULT 0,      -- amount of day 10
    KIN11  INTEGER NOT NULL DEFAULT 0,      -- amount of day 11
    KIN12  INTEGER NOT NULL DEFAULT 0,      -- amount of day 12
    KIN13  INTEGER NOT NULL DEFAULT 0,      -- amount of day 13
    KIN14  INTEGER NOT NULL DEFAULT 0,      -- amount of day 14
    KIN15  INTEGER NOT NULL DEFAULT 0,      -- amount of day 15
    KIN16  INTEGER NOT NULL DEFAULT 0,      -- amount of day 16
    KIN17  INTEGER NOT NULL DEFAULT 0,      -- amount of day 17
    KIN18  INTEGER NOT NULL DEFAULT 0,      -- amount of day 18
    KIN19  INTEGER NOT NULL DEFAULT 0,      -- amount of day 19
    KIN20  INTEGER NOT NULL DEFAULT 0,      -- amount of day 20
    KIN21  INTEGER NOT NULL DEFAULT 0,      -- amount of day 21
    KIN22  INTEGER NOT NULL DEFAULT 0,      -- amount of day 22
    KIN23  INTEGER NOT NULL DEFAULT 0,      -- amount of day 23
    KIN24  INTEGER NOT NULL DEFAULT 0,      -- amount of day 24
    KIN25  INTEGER NOT NULL DEFAULT 0,      -- amount of day 25
    KIN26  INTEGER NOT NULL DEFAULT 0,      -- amount of day 26
    KIN27  INTEGER NOT NULL DEFAULT 0,      -- amount of day 27
    KIN28  INTEGER NOT NULL DEFAULT 0,      -- amount of day 28
    KIN29  INTEGER NOT NULL DEFAULT 0,      -- amount of day 29
    KIN30  INTEGER NOT NULL DEFAULT 0,      -- amount of day 30
    KIN31  INTEGER NOT NULL DEFAULT 0,      -- amount of day 31
    PRIMARY KEY (CID, KOCODE, DATEYM)
) STRICT;

-- Batch-journal patterns; KRCODE and KSCODE are account numbers (KMCODE).
CREATE TABLE T_SI_PATTERN (
    CID    TEXT NOT NULL,                   -- company id, two digits
    KRCODE TEXT NOT NULL,                   -- debit account number (KMCODE)
    KSCODE TEXT NOT NULL,                   -- credit account number (KMCODE)
    SINAME TEXT,                            -- pattern name
    TENAME TEXT,                            -- description text
    SETID  TEXT,                            -- schedule: '1' manual, '2' every new day, '4' day SETPT of the month
    SETPT  TEXT,                            -- day of the month "dd" for SETID '4'
    PRIMARY KEY (CID, KRCODE, KSCODE)
) STRICT;

-- Editing copy of the pattern screen (copied back by position).
CREATE TABLE WK_SI_PATTERN (
    CID    TEXT NOT NULL,                   -- company id, two digits
    KRCODE TEXT NOT NULL,                   -- debit account number (KMCODE)
    KSCODE TEXT NOT NULL,                   -- credit account number (KMCODE)
    SINAME TEXT,                            -- pattern name
    TENAME TEXT,                            -- description text
    SETID  TEXT,                            -- schedule: '1' manual, '2' every new day, '4' day SETPT of the month
    SETPT  TEXT,                            -- day of the month "dd" for SETID '4'
    PRIMARY KEY (CID, KRCODE, KSCODE)
) STRICT;

CREATE TABLE BT_SI_PATTERN (
    CID    TEXT NOT NULL,                   -- company id, two digits
    KRCODE TEXT NOT NULL,                   -- debit account number (KMCODE)
    KSCODE TEXT NOT NULL,                   -- credit account number (KMCODE)
    SINAME TEXT,                            -- pattern name
    TENAME TEXT,                            -- description text
    SETID  TEXT,                            -- schedule: '1' manual, '2' every new day, '4' day SETPT of the month
    SETPT  TEXT,                            -- day of the month "dd" for SETID '4'
    PRIMARY KEY (CID, KRCODE, KSCODE)
) STRICT;

-- Descriptions.
CREATE TABLE T_TEKIYO (
    CID    TEXT NOT NULL,                   -- company id, two digits
    TEKINO TEXT NOT NULL,                   -- description number "001"
    TENAME TEXT,                            -- description text
    PRIMARY KEY (CID, TEKINO)
) STRICT;

-- Editing copy of the description screen (copied back by position).
CREATE TABLE WK_TEKIYO (
    CID    TEXT NOT NULL,                   -- company id, two digits
    TEKINO TEXT NOT NULL,                   -- description number "001"
    TENAME TEXT,                            -- description text
    PRIMARY KEY (CID, TEKINO)
) STRICT;

CREATE TABLE BT_TEKIYO (
    CID    TEXT NOT NULL,                   -- company id, two digits
    TEKINO TEXT NOT NULL,                   -- description number "001"
    TENAME TEXT,                            -- description text
    PRIMARY KEY (CID, TEKINO)
) STRICT;
