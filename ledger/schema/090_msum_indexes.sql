-- Indexes of the monthly summation.
--
-- The summation groups a month's journal lines by account and sub-account,
-- once for the debit side and once for the credit side. These indexes hold
-- every column those queries read, in the order they group by, so a month's
-- lines are summed from the index alone: no table lookups and no sort.
-- They also serve every other search of a company's month (CID, DATEYM), so
-- the journal lines have no index of the month alone.
CREATE INDEX T_SI_MEISAI_MSUM_DEBIT ON T_SI_MEISAI (CID, DATEYM, KRKOCODE, KRHOKOCODE, KRKIN);

CREATE INDEX T_SI_MEISAI_MSUM_CREDIT ON T_SI_MEISAI (CID, DATEYM, KSKOCODE, KSHOKOCODE, KSKIN);
