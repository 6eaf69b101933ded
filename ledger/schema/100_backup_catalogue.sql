-- Catalogue of the text backup: one file "T_nnn.txt" per row, in SEQNO order.
-- Rows 1 to 11 are the current year's tables, 12 to 23 their previous-year
-- copies; the restore picks its row writer by SEQNO. FLPNO is the table's
-- column count.
INSERT INTO T_BACKUP (SEQNO, TEXTNAME, FLPNO, KEISIKI) VALUES
    (1, 'T_001', 24, 'T_KANJO'),
    (2, 'T_002', 27, 'T_COMP_MAIN'),
    (3, 'T_003', 9, 'T_SIWAKE'),
    (4, 'T_004', 31, 'T_SI_MEISAI'),
    (5, 'T_005', 3, 'T_DAY_INPUT'),
    (6, 'T_006', 7, 'T_SI_PATTERN'),
    (7, 'T_007', 35, 'T_DAY_TORAN'),
    (8, 'T_008', 11, 'T_KISYUZAN'),
    (9, 'T_009', 6, 'T_HOJOKAMOKU'),
    (10, 'T_010', 3, 'T_TEKIYO'),
    (11, 'T_011', 5, 'T_TUKISIME'),
    (12, 'T_012', 25, 'BT_KANJO'),
    (13, 'T_013', 27, 'BT_COMP_MAIN'),
    (14, 'T_014', 9, 'BT_SIWAKE'),
    (15, 'T_015', 31, 'BT_SI_MEISAI'),
    (16, 'T_016', 3, 'BT_DAY_INPUT'),
    (17, 'T_017', 7, 'BT_SI_PATTERN'),
    (18, 'T_018', 35, 'BT_DAY_TORAN'),
    (19, 'T_019', 11, 'BT_KISYUZAN'),
    (20, 'T_020', 6, 'BT_HOJOKAMOKU'),
    (21, 'T_021', 3, 'BT_TEKIYO'),
    (22, 'T_022', 5, 'BT_TUKISIME'),
    (23, 'T_023', 66, 'BT_KESANSYO');
