-- Print work tables: emptied and refilled before each report, read by the
-- report layouts. They hold no company column unless listed, and no key.

-- Header items of the report being printed (one row).
CREATE TABLE T_PRINTKOMOKU (
    KOMOKU1 TEXT,                           -- item 1
    KOMOKU2 TEXT,                           -- item 2
    KOMOKU3 TEXT,                           -- item 3
    KOMOKU4 TEXT,                           -- item 4
    KOMOKU5 TEXT,                           -- item 5
    KOMOKU6 TEXT,                           -- item 6
    KOMOKU7 TEXT,                           -- item 7
    KOMOKU8 TEXT,                           -- item 8
    KOMOKU9 TEXT                            -- item 9
) STRICT;

-- Detail rows of the monthly profit and loss statement and balance sheet.
CREATE TABLE T_TOTAL_MEISAI (
    CID     TEXT,                           -- company id, two digits
    KOCODE  TEXT,                           -- internal account code, by which every table names accounts
    KMCODE  TEXT,                           -- the user's account number, empty = slot not in use
    PCODE1  TEXT,                           -- statement layout code 1
    PCODE2  TEXT,                           -- statement layout code 2
    PCODE3  TEXT,                           -- statement layout code 3
    KAIPAGE TEXT,                           -- statement page code
    KMNAME  TEXT,                           -- account name
    MAEKURI INTEGER NOT NULL DEFAULT 0,     -- balance brought forward (amount)
    KRTOTAL INTEGER NOT NULL DEFAULT 0,     -- debit total of the month (amount)
    KSTOTAL INTEGER NOT NULL DEFAULT 0,     -- credit total of the month (amount)
    ZAN     INTEGER NOT NULL DEFAULT 0      -- balance (amount)
) STRICT;

-- Total rows of the same statements (the roll-up completes them).
CREATE TABLE T_TOTAL1 (
    CID     TEXT,                           -- company id, two digits
    KOCODE  TEXT,                           -- internal account code, by which every table names accounts
    KMCODE  TEXT,                           -- the user's account number, empty = slot not in use
    PCODE1  TEXT,                           -- statement layout code 1
    PCODE2  TEXT,                           -- statement layout code 2
    PCODE3  TEXT,                           -- statement layout code 3
    KAIPAGE TEXT,                           -- statement page code
    KMNAME  TEXT,                           -- account name
    MAEKURI INTEGER NOT NULL DEFAULT 0,     -- balance brought forward (amount)
    KRTOTAL INTEGER NOT NULL DEFAULT 0,     -- debit total of the month (amount)
    KSTOTAL INTEGER NOT NULL DEFAULT 0,     -- credit total of the month (amount)
    ZAN     INTEGER NOT NULL DEFAULT 0      -- balance (amount)
) STRICT;

-- Journal book, one row per journal line.
CREATE TABLE T_SIALL_OUT (
    CID       TEXT,                         -- company id, two digits
    SIDAY     TEXT,                         -- the line's day, yyyy/mm/dd
    DENNO     TEXT,                         -- voucher number shown and printed
    DENMENO   TEXT,                         -- line number within the voucher "001"
    SISYU     TEXT,                         -- '0' a grid row's or pattern's line, '1' a free line
    KRKMCODE  TEXT,                         -- debit account number
    KRHOCODE  TEXT,                         -- debit sub-account code
    KRKMNAME  TEXT,                         -- debit account name
    KRHONAME  TEXT,                         -- debit sub-account name
    KRBUKBN   TEXT,                         -- debit department kind, '00' as written
    KRTKBN    TEXT,                         -- debit tax class: '1' grid rows, '5' other lines
    KRTKOCODE TEXT,                         -- debit tax account code, "000" as written
    KRTKIN    INTEGER NOT NULL DEFAULT 0,   -- debit tax amount, 0 as written
    KRKIN     INTEGER NOT NULL DEFAULT 0,   -- debit amount
    KSKMCODE  TEXT,                         -- credit account number
    KSHOCODE  TEXT,                         -- credit sub-account code
    KSKMNAME  TEXT,                         -- credit account name
    KSHONAME  TEXT,                         -- credit sub-account name
    KSBUKBN   TEXT,                         -- credit department kind, '00' as written
    KSTKBN    TEXT,                         -- credit tax class: '1' grid rows, '5' other lines
    KSTKOCODE TEXT,                         -- credit tax account code, "000" as written
    KSTKIN    INTEGER NOT NULL DEFAULT 0,   -- credit tax amount, 0 as written
    KSKIN     INTEGER NOT NULL DEFAULT 0,   -- credit amount
    TEKIYO    TEXT                          -- description text
) STRICT;

-- General ledger: a brought-forward row per account, then its lines. JUN is
-- 0 (debit side) or 1 (credit side).
CREATE TABLE T_SKANMT_OUT (
    KANKOCODE TEXT,                         -- KOCODE of the account
    SIDAY     TEXT,                         -- the line's day, yyyy/mm/dd
    DENNO     TEXT,                         -- voucher number shown and printed
    DENMENO   TEXT,                         -- line number within the voucher "001"
    JUN       INTEGER NOT NULL DEFAULT 0,   -- 0 debit side, 1 credit side
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KMNAME    TEXT,                         -- account name
    AICODE    TEXT,                         -- KOCODE of the counter account
    AIHOCODE  TEXT,                         -- the counter sub-account's code
    AINAME    TEXT,                         -- the counter account's name
    AIHONAME  TEXT,                         -- the counter sub-account's name
    TEKIYO    TEXT,                         -- description text
    KRKIN     INTEGER NOT NULL DEFAULT 0,   -- debit amount
    KSKIN     INTEGER NOT NULL DEFAULT 0,   -- credit amount
    ZAN       INTEGER NOT NULL DEFAULT 0    -- balance (amount)
) STRICT;

-- Subsidiary ledger: the general ledger's rows per sub-account.
CREATE TABLE T_SKANSUBMT_OUT (
    KANKOCODE TEXT,                         -- KOCODE of the account
    SIDAY     TEXT,                         -- the line's day, yyyy/mm/dd
    DENNO     TEXT,                         -- voucher number shown and printed
    DENMENO   TEXT,                         -- line number within the voucher "001"
    JUN       INTEGER NOT NULL DEFAULT 0,   -- 0 debit side, 1 credit side
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    HOCODE    TEXT,                         -- the user's sub-account code
    KMNAME    TEXT,                         -- account name
    HONAME    TEXT,                         -- sub-account name
    AICODE    TEXT,                         -- KOCODE of the counter account
    AIHOCODE  TEXT,                         -- the counter sub-account's code
    AINAME    TEXT,                         -- the counter account's name
    AIHONAME  TEXT,                         -- the counter sub-account's name
    TEKIYO    TEXT,                         -- description text
    KRKIN     INTEGER NOT NULL DEFAULT 0,   -- debit amount
    KSKIN     INTEGER NOT NULL DEFAULT 0,   -- credit amount
    ZAN       INTEGER NOT NULL DEFAULT 0    -- balance (amount)
) STRICT;

-- Lines of the monthly income and expense table and of the manufacturing
-- cost report.
CREATE TABLE P_TUKISYUSI (
    PRTIDNO TEXT,                           -- section id + position of the line
    PRTNAME TEXT,                           -- line caption (account name)
    PRTJUN  TEXT,                           -- order of the line within its section
    KIN1    INTEGER NOT NULL DEFAULT 0,     -- amount 1
    KIN2    INTEGER NOT NULL DEFAULT 0,     -- amount 2
    KIN3    INTEGER NOT NULL DEFAULT 0,     -- amount 3
    KIN4    INTEGER NOT NULL DEFAULT 0,     -- amount 4
    KIN5    INTEGER NOT NULL DEFAULT 0,     -- amount 5
    KIN6    INTEGER NOT NULL DEFAULT 0,     -- amount 6
    KIN7    INTEGER NOT NULL DEFAULT 0,     -- amount 7
    KIN8    INTEGER NOT NULL DEFAULT 0,     -- amount 8
    KIN9    INTEGER NOT NULL DEFAULT 0,     -- amount 9
    KIN10   INTEGER NOT NULL DEFAULT 0,     -- amount 10
    KIN11   INTEGER NOT NULL DEFAULT 0,     -- amount 11
    KIN12   INTEGER NOT NULL DEFAULT 0,     -- amount 12
    KIN13   INTEGER NOT NULL DEFAULT 0      -- amount 13
) STRICT;

-- Header row of the monthly income and expense table: era year and month
-- labels (1-13), then the monthly summary rows A to D with their totals.
CREATE TABLE P_TUKISYUSI_HEAD (
    KOMOKU1  TEXT,                          -- item 1
    KOMOKU2  TEXT,                          -- item 2
    KOMOKU3  TEXT,                          -- item 3
    KOMOKU4  TEXT,                          -- item 4
    KOMOKU5  TEXT,                          -- item 5
    KOMOKU6  TEXT,                          -- item 6
    KOMOKU7  TEXT,                          -- item 7
    KOMOKU8  TEXT,                          -- item 8
    KOMOKU9  TEXT,                          -- item 9
    KOMOKU10 TEXT,                          -- item 10
    KOMOKU11 TEXT,                          -- item 11
    KOMOKU12 TEXT,                          -- item 12
    KOMOKU13 TEXT,                          -- item 13
    KOMOKU14 INTEGER NOT NULL DEFAULT 0,    -- item 14
    KOMOKU15 INTEGER NOT NULL DEFAULT 0,    -- item 15
    KOMOKU16 INTEGER NOT NULL DEFAULT 0,    -- item 16
    KOMOKU17 INTEGER NOT NULL DEFAULT 0,    -- item 17
    KOMOKU18 INTEGER NOT NULL DEFAULT 0,    -- item 18
    KOMOKU19 INTEGER NOT NULL DEFAULT 0,    -- item 19
    KOMOKU20 INTEGER NOT NULL DEFAULT 0,    -- item 20
    KOMOKU21 INTEGER NOT NULL DEFAULT 0,    -- item 21
    KOMOKU22 INTEGER NOT NULL DEFAULT 0,    -- item 22
    KOMOKU23 INTEGER NOT NULL DEFAULT 0,    -- item 23
    KOMOKU24 INTEGER NOT NULL DEFAULT 0,    -- item 24
    KOMOKU25 INTEGER NOT NULL DEFAULT 0,    -- item 25
    KOMOKU26 INTEGER NOT NULL DEFAULT 0,    -- item 26
    KOMOKU27 INTEGER NOT NULL DEFAULT 0,    -- item 27
    KOMOKU28 INTEGER NOT NULL DEFAULT 0,    -- item 28
    KOMOKU29 INTEGER NOT NULL DEFAULT 0,    -- item 29
    KOMOKU30 INTEGER NOT NULL DEFAULT 0,    -- item 30
    KOMOKU31 INTEGER NOT NULL DEFAULT 0,    -- item 31
    KOMOKU32 INTEGER NOT NULL DEFAULT 0,    -- item 32
    KOMOKU33 INTEGER NOT NULL DEFAULT 0,    -- item 33
    KOMOKU34 INTEGER NOT NULL DEFAULT 0,    -- item 34
    KOMOKU35 INTEGER NOT NULL DEFAULT 0,    -- item 35
    KOMOKU36 INTEGER NOT NULL DEFAULT 0,    -- item 36
    KOMOKU37 INTEGER NOT NULL DEFAULT 0,    -- item 37
    KOMOKU38 INTEGER NOT NULL DEFAULT 0,    -- item 38
    KOMOKU39 INTEGER NOT NULL DEFAULT 0,    -- item 39
    KOMOKU40 INTEGER NOT NULL DEFAULT 0,    -- item 40
    KOMOKU41 INTEGER NOT NULL DEFAULT 0,    -- item 41
    KOMOKU42 INTEGER NOT NULL DEFAULT 0,    -- item 42
    KOMOKU43 INTEGER NOT NULL DEFAULT 0,    -- item 43
    KOMOKU44 INTEGER NOT NULL DEFAULT 0,    -- item 44
    KOMOKU45 INTEGER NOT NULL DEFAULT 0,    -- item 45
    KOMOKU46 INTEGER NOT NULL DEFAULT 0,    -- item 46
    KOMOKU47 INTEGER NOT NULL DEFAULT 0,    -- item 47
    KOMOKU48 INTEGER NOT NULL DEFAULT 0,    -- item 48
    KOMOKU49 INTEGER NOT NULL DEFAULT 0,    -- item 49
    KOMOKU50 INTEGER NOT NULL DEFAULT 0,    -- item 50
    KOMOKU51 INTEGER NOT NULL DEFAULT 0,    -- item 51
    KOMOKU52 INTEGER NOT NULL DEFAULT 0,    -- item 52
    KOMOKU53 INTEGER NOT NULL DEFAULT 0,    -- item 53
    KOMOKU54 INTEGER NOT NULL DEFAULT 0,    -- item 54
    KOMOKU55 INTEGER NOT NULL DEFAULT 0,    -- item 55
    KOMOKU56 INTEGER NOT NULL DEFAULT 0,    -- item 56
    KOMOKU57 INTEGER NOT NULL DEFAULT 0,    -- item 57
    KOMOKU58 INTEGER NOT NULL DEFAULT 0,    -- item 58
    KOMOKU59 INTEGER NOT NULL DEFAULT 0,    -- item 59
    KOMOKU60 INTEGER NOT NULL DEFAULT 0,    -- item 60
    KOMOKU61 INTEGER NOT NULL DEFAULT 0,    -- item 61
    KOMOKU62 INTEGER NOT NULL DEFAULT 0,    -- item 62
    KOMOKU63 INTEGER NOT NULL DEFAULT 0,    -- item 63
    KOMOKU64 INTEGER NOT NULL DEFAULT 0,    -- item 64
    KOMOKU65 INTEGER NOT NULL DEFAULT 0     -- item 65
) STRICT;

-- The one row of the tax-return statements: amounts 1-126, names 127-156.
CREATE TABLE P_KESANSYO (
    KOMOKU1   INTEGER NOT NULL DEFAULT 0,   -- item 1
    KOMOKU2   INTEGER NOT NULL DEFAULT 0,   -- item 2
    KOMOKU3   INTEGER NOT NULL DEFAULT 0,   -- item 3
    KOMOKU4   INTEGER NOT NULL DEFAULT 0,   -- item 4
    KOMOKU5   INTEGER NOT NULL DEFAULT 0,   -- item 5
    KOMOKU6   INTEGER NOT NULL DEFAULT 0,   -- item 6
    KOMOKU7   INTEGER NOT NULL DEFAULT 0,   -- item 7
    KOMOKU8   INTEGER NOT NULL DEFAULT 0,   -- item 8
    KOMOKU9   INTEGER NOT NULL DEFAULT 0,   -- item 9
    KOMOKU10  INTEGER NOT NULL DEFAULT 0,   -- item 10
    KOMOKU11  INTEGER NOT NULL DEFAULT 0,   -- item 11
    KOMOKU12  INTEGER NOT NULL DEFAULT 0,   -- item 12
    KOMOKU13  INTEGER NOT NULL DEFAULT 0,   -- item 13
    KOMOKU14  INTEGER NOT NULL DEFAULT 0,   -- item 14
    KOMOKU15  INTEGER NOT NULL DEFAULT 0,   -- item 15
    KOMOKU16  INTEGER NOT NULL DEFAULT 0,   -- item 16
    KOMOKU17  INTEGER NOT NULL DEFAULT 0,   -- item 17
    KOMOKU18  INTEGER NOT NULL DEFAULT 0,   -- item 18
    KOMOKU19  INTEGER NOT NULL DEFAULT 0,   -- item 19
    KOMOKU20  INTEGER NOT NULL DEFAULT 0,   -- item 20
    KOMOKU21  INTEGER NOT NULL DEFAULT 0,   -- item 21
    KOMOKU22  INTEGER NOT NULL DEFAULT 0,   -- item 22
    KOMOKU23  INTEGER NOT NULL DEFAULT 0,   -- item 23
    KOMOKU24  INTEGER NOT NULL DEFAULT 0,   -- item 24
    KOMOKU25  INTEGER NOT NULL DEFAULT 0,   -- item 25
    KOMOKU26  INTEGER NOT NULL DEFAULT 0,   -- item 26
    KOMOKU27  INTEGER NOT NULL DEFAULT 0,   -- item 27
    KOMOKU28  INTEGER NOT NULL DEFAULT 0,   -- item 28
    KOMOKU29  INTEGER NOT NULL DEFAULT 0,   -- item 29
    KOMOKU30  INTEGER NOT NULL DEFAULT 0,   -- item 30
    KOMOKU31  INTEGER NOT NULL DEFAULT 0,   -- item 31
    KOMOKU32  INTEGER NOT NULL DEFAULT 0,   -- item 32
    KOMOKU33  INTEGER NOT NULL DEFAULT 0,   -- item 33
    KOMOKU34  INTEGER NOT NULL DEFAULT 0,   -- item 34
    KOMOKU35  INTEGER NOT NULL DEFAULT 0,   -- item 35
    KOMOKU36  INTEGER NOT NULL DEFAULT 0,   -- item 36
    KOMOKU37  INTEGER NOT NULL DEFAULT 0,   -- item 37
    KOMOKU38  INTEGER NOT NULL DEFAULT 0,   -- item 38
    KOMOKU39  INTEGER NOT NULL DEFAULT 0,   -- item 39
    KOMOKU40  INTEGER NOT NULL DEFAULT 0,   -- item 40
    KOMOKU41  INTEGER NOT NULL DEFAULT 0,   -- item 41
    KOMOKU42  INTEGER NOT NULL DEFAULT 0,   -- item 42
    KOMOKU43  INTEGER NOT NULL DEFAULT 0,   -- item 43
    KOMOKU44  INTEGER NOT NULL DEFAULT 0,   -- item 44
    KOMOKU45  INTEGER NOT NULL DEFAULT 0,   -- item 45
    KOMOKU46  INTEGER NOT NULL DEFAULT 0,   -- item 46
    KOMOKU47  INTEGER NOT NULL DEFAULT 0,   -- item 47
    KOMOKU48  INTEGER NOT NULL DEFAULT 0,   -- item 48
    KOMOKU49  INTEGER NOT NULL DEFAULT 0,   -- item 49
    KOMOKU50  INTEGER NOT NULL DEFAULT 0,   -- item 50
    KOMOKU51  INTEGER NOT NULL DEFAULT 0,   -- item 51
    KOMOKU52  INTEGER NOT NULL DEFAULT 0,   -- item 52
    KOMOKU53  INTEGER NOT NULL DEFAULT 0,   -- item 53
    KOMOKU54  INTEGER NOT NULL DEFAULT 0,   -- item 54
    KOMOKU55  INTEGER NOT NULL DEFAULT 0,   -- item 55
    KOMOKU56  INTEGER NOT NULL DEFAULT 0,   -- item 56
    KOMOKU57  INTEGER NOT NULL DEFAULT 0,   -- item 57
    KOMOKU58  INTEGER NOT NULL DEFAULT 0,   -- item 58
    KOMOKU59  INTEGER NOT NULL DEFAULT 0,   -- item 59
    KOMOKU60  INTEGER NOT NULL DEFAULT 0,   -- item 60
    KOMOKU61  INTEGER NOT NULL DEFAULT 0,   -- item 61
    KOMOKU62  INTEGER NOT NULL DEFAULT 0,   -- item 62
    KOMOKU63  INTEGER NOT NULL DEFAULT 0,   -- item 63
    KOMOKU64  INTEGER NOT NULL DEFAULT 0,   -- item 64
    KOMOKU65  INTEGER NOT NULL DEFAULT 0,   -- item 65
    KOMOKU66  INTEGER NOT NULL DEFAULT 0,   -- item 66
    KOMOKU67  INTEGER NOT NULL DEFAULT 0,   -- item 67
    KOMOKU68  INTEGER NOT NULL DEFAULT 0,   -- item 68
    KOMOKU69  INTEGER NOT NULL DEFAULT 0,   -- item 69
    KOMOKU70  INTEGER NOT NULL DEFAULT 0,   -- item 70
    KOMOKU71  INTEGER NOT NULL DEFAULT 0,   -- item 71
    KOMOKU72  INTEGER NOT NULL DEFAULT 0,   -- item 72
    KOMOKU73  INTEGER NOT NULL DEFAULT 0,   -- item 73
    KOMOKU74  INTEGER NOT NULL DEFAULT 0,   -- item 74
    KOMOKU75  INTEGER NOT NULL DEFAULT 0,   -- item 75
    KOMOKU76  INTEGER NOT NULL DEFAULT 0,   -- item 76
    KOMOKU77  INTEGER NOT NULL DEFAULT 0,   -- item 77
    KOMOKU78  INTEGER NOT NULL DEFAULT 0,   -- item 78
    KOMOKU79  INTEGER NOT NULL DEFAULT 0,   -- item 79
    KOMOKU80  INTEGER NOT NULL DEFAULT 0,   -- item 80
    KOMOKU81  INTEGER NOT NULL DEFAULT 0,   -- item 81
    KOMOKU82  INTEGER NOT NULL DEFAULT 0,   -- item 82
    KOMOKU83  INTEGER NOT NULL DEFAULT 0,   -- item 83
    KOMOKU84  INTEGER NOT NULL DEFAULT 0,   -- item 84
    KOMOKU85  INTEGER NOT NULL DEFAULT 0,   -- item 85
    KOMOKU86  INTEGER NOT NULL DEFAULT 0,   -- item 86
    KOMOKU87  INTEGER NOT NULL DEFAULT 0,   -- item 87
    KOMOKU88  INTEGER NOT NULL DEFAULT 0,   -- item 88
    KOMOKU89  INTEGER NOT NULL DEFAULT 0,   -- item 89
    KOMOKU90  INTEGER NOT NULL DEFAULT 0,   -- item 90
    KOMOKU91  INTEGER NOT NULL DEFAULT 0,   -- item 91
    KOMOKU92  INTEGER NOT NULL DEFAULT 0,   -- item 92
    KOMOKU93  INTEGER NOT NULL DEFAULT 0,   -- item 93
    KOMOKU94  INTEGER NOT NULL DEFAULT 0,   -- item 94
    KOMOKU95  INTEGER NOT NULL DEFAULT 0,   -- item 95
    KOMOKU96  INTEGER NOT NULL DEFAULT 0,   -- item 96
    KOMOKU97  INTEGER NOT NULL DEFAULT 0,   -- item 97
    KOMOKU98  INTEGER NOT NULL DEFAULT 0,   -- item 98
    KOMOKU99  INTEGER NOT NULL DEFAULT 0,   -- item 99
    KOMOKU100 INTEGER NOT NULL DEFAULT 0,   -- item 100
    KOMOKU101 INTEGER NOT NULL DEFAULT 0,   -- item 101
    KOMOKU102 INTEGER NOT NULL DEFAULT 0,   -- item 102
    KOMOKU103 INTEGER NOT NULL DEFAULT 0,   -- item 103
    KOMOKU104 INTEGER NOT NULL DEFAULT 0,   -- item 104
    KOMOKU105 INTEGER NOT NULL DEFAULT 0,   -- item 105
    KOMOKU106 INTEGER NOT NULL DEFAULT 0,   -- item 106
    KOMOKU107 INTEGER NOT NULL DEFAULT 0,   -- item 107
    KOMOKU108 INTEGER NOT NULL DEFAULT 0,   -- item 108
    KOMOKU109 INTEGER NOT NULL DEFAULT 0,   -- item 109
    KOMOKU110 INTEGER NOT NULL DEFAULT 0,   -- item 110
    KOMOKU111 INTEGER NOT NULL DEFAULT 0,   -- item 111
    KOMOKU112 INTEGER NOT NULL DEFAULT 0,   -- item 112
    KOMOKU113 INTEGER NOT NULL DEFAULT 0,   -- item 113
    KOMOKU114 INTEGER NOT NULL DEFAULT 0,   -- item 114
    KOMOKU115 INTEGER NOT NULL DEFAULT 0,   -- item 115
    KOMOKU116 INTEGER NOT NULL DEFAULT 0,   -- item 116
    KOMOKU117 INTEGER NOT NULL DEFAULT 0,   -- item 117
    KOMOKU118 INTEGER NOT NULL DEFAULT 0,   -- item 118
    KOMOKU119 INTEGER NOT NULL DEFAULT 0,   -- item 119
    KOMOKU120 INTEGER NOT NULL DEFAULT 0,   -- item 120
    KOMOKU121 INTEGER NOT NULL DEFAULT 0,   -- item 121
    KOMOKU122 INTEGER NOT NULL DEFAULT 0,   -- item 122
    KOMOKU123 INTEGER NOT NULL DEFAULT 0,   -- item 123
    KOMOKU124 INTEGER NOT NULL DEFAULT 0,   -- item 124
    KOMOKU125 INTEGER NOT NULL DEFAULT 0,   -- item 125
    KOMOKU126 INTEGER NOT NULL DEFAULT 0,   -- item 126
    KOMOKU127 TEXT,                         -- item 127
    KOMOKU128 TEXT,                         -- item 128
    KOMOKU129 TEXT,                         -- item 129
    KOMOKU130 TEXT,                         -- item 130
    KOMOKU131 TEXT,                         -- item 131
    KOMOKU132 TEXT,                         -- item 132
    KOMOKU133 TEXT,                         -- item 133
    KOMOKU134 TEXT,                         -- item 134
    KOMOKU135 TEXT,                         -- item 135
    KOMOKU136 TEXT,                         -- item 136
    KOMOKU137 TEXT,                         -- item 137
    KOMOKU138 TEXT,                         -- item 138
    KOMOKU139 TEXT,                         -- item 139
    KOMOKU140 TEXT,                         -- item 140
    KOMOKU141 TEXT,                         -- item 141
    KOMOKU142 TEXT,                         -- item 142
    KOMOKU143 TEXT,                         -- item 143
    KOMOKU144 TEXT,                         -- item 144
    KOMOKU145 TEXT,                         -- item 145
    KOMOKU146 TEXT,                         -- item 146
    KOMOKU147 TEXT,                         -- item 147
    KOMOKU148 TEXT,                         -- item 148
    KOMOKU149 TEXT,                         -- item 149
    KOMOKU150 TEXT,                         -- item 150
    KOMOKU151 TEXT,                         -- item 151
    KOMOKU152 TEXT,                         -- item 152
    KOMOKU153 TEXT,                         -- item 153
    KOMOKU154 TEXT,                         -- item 154
    KOMOKU155 TEXT,                         -- item 155
    KOMOKU156 TEXT                          -- item 156
) STRICT;

-- Rows of the chart-of-accounts list (filled by statements that name their
-- columns). Class columns that a row has no class for stay null.
CREATE TABLE WK_KANJO_PRINT (
    DAICODE   TEXT,                         -- KOCODE of the major class
    DAINAME   TEXT,                         -- name of the major class
    TYUCODE   TEXT,                         -- KOCODE of the middle class
    TYUNAME   TEXT,                         -- name of the middle class
    SYOCODE   TEXT,                         -- KOCODE of the minor class
    SYONAME   TEXT,                         -- name of the minor class
    KMCODE    TEXT,                         -- the user's account number, empty = slot not in use
    KMNAME    TEXT,                         -- account name
    TAIKBN    TEXT,                         -- '0' debit-normal, otherwise credit-normal
    HOJOSET   TEXT,                         -- 'Y' sub-accounts in use, 'N' none
    KISYUZAN  INTEGER NOT NULL DEFAULT 0,   -- opening balance (amount)
    AICODE    TEXT,                         -- KOCODE of the counter account
    AINAME    TEXT,                         -- the counter account's name
    DAIBUN    TEXT,                         -- major class: '1' income grid, '2'/'3' purchase and expense grid
    TYUBUN    TEXT,                         -- middle class, copied only
    JUN       INTEGER NOT NULL DEFAULT 0,   -- display order, 0 keeps the account out of the daily-entry grids
    KISYUMKBN TEXT                          -- '1' or '2' keeps the account out of the daily-entry grids
) STRICT;
