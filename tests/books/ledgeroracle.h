#pragma once
// Plain-SQL versions of the two ledgers for comparison with the builds: each
// selects or inserts the whole ledger by set statements and window sums, with
// the same parameters (?1 company, ?2 opening month "yyyy/00", ?3 first month,
// ?4 last month, ?5 and ?6 the account-number bounds).

namespace ledgeroracle {

// The general ledger's rows, every column quoted, in the book's order (account
// number, accounts sharing one in descending internal code, then the rows of
// an account: brought-forward row, then date, voucher number, line number and
// side), with the running balance as a window sum.
inline const char* const kGeneralLedger = R"SQL(
WITH acct AS (
    SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' ') AS KM, trim(COALESCE(KANNAME, ''), ' ') AS NAME,
           TAIKBN = '0' AS DR,
           COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                     FROM T_TUKIKAN T
                     WHERE T.CID = ?1 AND T.KANKOCODE = A.KOCODE AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                     ORDER BY T.DATEYM DESC LIMIT 1), 0) AS BF
    FROM T_KANJO A
    WHERE KMCODE BETWEEN ?5 AND ?6 AND KMCODE NOT IN ('202', '258') AND SYORIKBN = '0'
),
lines AS (
    SELECT SM.*, SW.DENNO AS VNO
    FROM T_SI_MEISAI SM JOIN T_SIWAKE SW ON SW.CID = SM.CID AND SW.DENCODE = SM.DENCODE
    WHERE SM.CID = ?1 AND SM.DATEYM BETWEEN ?3 AND ?4
),
sides AS (
    SELECT KRKOCODE AS KO, SIDAY, VNO, DENMENO, 0 AS JUN, KRAICODE AS AI, KRAIHOCODE AS AIHO, TEKIYO,
           KRKIN + KRTKIN AS KR, 0 AS KS
    FROM lines WHERE KRKOCODE IN (SELECT KOCODE FROM acct)
    UNION ALL
    SELECT KSKOCODE, SIDAY, VNO, DENMENO, 1, KSAICODE, KSAIHOCODE, TEKIYO, 0, KSKIN + KSTKIN
    FROM lines WHERE KSKOCODE IN (SELECT KOCODE FROM acct)
),
r AS (
    SELECT A.KOCODE AS KO, 0 AS SEQ, NULL AS DAY, NULL AS VNO, NULL AS LNO, 0 AS JUN, '00.01.01' AS SIDAY,
           '0' AS DENNO, '0' AS DENMENO, '0' AS AICODE, '' AS AIHOCODE, '' AS AINAME, '' AS AIHONAME,
           '繰越残高' AS TEKIYO, 0 AS KR, 0 AS KS, A.BF AS DELTA
    FROM acct A
    WHERE A.BF <> 0 OR A.KOCODE IN (SELECT KO FROM sides)
    UNION ALL
    SELECT S.KO, 1, S.SIDAY, S.VNO, S.DENMENO, S.JUN,
           substr(S.SIDAY, 3, 2) || '.' || substr(S.SIDAY, 6, 2) || '.' || substr(S.SIDAY, 9, 2),
           CAST(CAST(S.VNO AS INTEGER) AS TEXT), S.DENMENO,
           CASE WHEN C.KOCODE IS NULL THEN COALESCE(S.AI, '') ELSE trim(COALESCE(C.KMCODE, ''), ' ') END,
           COALESCE(trim(H.HOCODE, ' '), ''),
           CASE WHEN C.KOCODE IS NULL THEN '' ELSE trim(COALESCE(C.KANNAME, ''), ' ') END,
           COALESCE(trim(H.HONAME, ' '), ''),
           trim(COALESCE(S.TEKIYO, ''), ' '), S.KR, S.KS,
           CASE WHEN A.DR THEN S.KR - S.KS ELSE S.KS - S.KR END
    FROM sides S JOIN acct A ON A.KOCODE = S.KO
    LEFT JOIN T_KANJO C ON C.KOCODE = S.AI
    LEFT JOIN T_HOJOKAMOKU H ON H.CID = ?1 AND H.KANKOCODE = S.AI AND H.HOKOCODE = S.AIHO
)
SELECT quote(r.KO) || '|' || quote(r.SIDAY) || '|' || quote(r.DENNO) || '|' || quote(r.DENMENO) || '|' ||
       r.JUN || '|' || quote(A.KM) || '|' || quote(A.NAME) || '|' || quote(r.AICODE) || '|' ||
       quote(r.AIHOCODE) || '|' || quote(r.AINAME) || '|' || quote(r.AIHONAME) || '|' || quote(r.TEKIYO) || '|' ||
       r.KR || '|' || r.KS || '|' ||
       SUM(r.DELTA) OVER (PARTITION BY r.KO ORDER BY r.SEQ, r.DAY, r.VNO, r.LNO, r.JUN ROWS UNBOUNDED PRECEDING)
FROM r JOIN acct A ON A.KOCODE = r.KO
ORDER BY A.KM, 999 - CAST(r.KO AS INTEGER), r.SEQ, r.DAY, r.VNO, r.LNO, r.JUN
)SQL";

// The subsidiary ledger: the selection of the sides (a WITH clause) and the
// insert of the ledger's rows into ORACLE_SUB (columns as T_SKANSUBMT_OUT)
// in the book's order, running with three window functions.
inline const char* const kSubsidiarySelection = R"SQL(
WITH acct AS (
    SELECT KOCODE, trim(COALESCE(KMCODE, ''), ' ') AS KM, trim(COALESCE(KANNAME, ''), ' ') AS NAME, TAIKBN
    FROM T_KANJO
    WHERE KMCODE BETWEEN ?5 AND ?6 AND KMCODE NOT IN ('202', '258') AND SYORIKBN = '0'
),
lines AS (
    SELECT SM.SIDAY, SW.DENNO AS VNO, SM.DENMENO, SM.TEKIYO, SM.KRKOCODE, SM.KRKIN, SM.KRTKIN, SM.KRAICODE,
           SM.KRAIHOCODE, SM.KSKOCODE, SM.KSKIN, SM.KSTKIN, SM.KSAICODE, SM.KSAIHOCODE
    FROM T_SI_MEISAI SM JOIN T_SIWAKE SW ON SW.CID = SM.CID AND SW.DENCODE = SM.DENCODE
    WHERE SM.CID = ?1 AND SM.DATEYM BETWEEN ?3 AND ?4
),
sides AS (
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' ') AS KM, trim(COALESCE(A.KANNAME, ''), ' ') AS NAME,
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 0 AS JUN,
           L.KRAICODE AS AI, L.KRAIHOCODE AS AIHO, L.KSKOCODE AS OTHERKO, L.KSAICODE AS OTHERAI,
           L.KSAIHOCODE AS OTHERAIHO, trim(COALESCE(L.TEKIYO, ''), ' ') AS TEKIYO,
           L.KRKIN + L.KRTKIN AS KR, 0 AS KS
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KRKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
    UNION ALL
    SELECT A.KOCODE, trim(COALESCE(A.KMCODE, ''), ' '), trim(COALESCE(A.KANNAME, ''), ' '),
           A.TAIKBN, L.SIDAY, L.VNO, L.DENMENO, 1,
           L.KSAICODE, L.KSAIHOCODE, L.KRKOCODE, L.KRAICODE, L.KRAIHOCODE, trim(COALESCE(L.TEKIYO, ''), ' '),
           0, L.KSKIN + L.KSTKIN
    FROM lines L JOIN T_KANJO A ON A.KOCODE = L.KSKOCODE AND A.KMCODE BETWEEN ?5 AND ?6 AND A.KMCODE NOT IN ('202', '258') AND A.SYORIKBN = '0'
)
)SQL";

inline const char* const kSubsidiaryLedger = R"SQL(
,
named AS (
    SELECT CID, KANKOCODE, HOKOCODE, trim(HOCODE, ' ') AS HOC, trim(HONAME, ' ') AS HON
    FROM T_HOJOKAMOKU
    WHERE CID = ?1 AND trim(COALESCE(HOCODE, ''), ' ') NOT IN ('', '0') AND trim(COALESCE(HONAME, ''), ' ') <> ''
)
INSERT INTO ORACLE_SUB (KANKOCODE, SIDAY, DENNO, DENMENO, JUN, KMCODE, HOCODE, KMNAME, HONAME, AICODE,
                             AIHOCODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN)
SELECT COALESCE(XKO, FIRSTX, YKO), SIDAY, DENNO, DENMENO, JUN, KM, HOC, NAME, HON, AICODE,
       AIHOCODE, AINAME, AIHONAME, TEKIYO, KR, KS, CASE WHEN INRANGE THEN ZAN ELSE 0 END
FROM (
    SELECT R.*,
           SUM(DELTA) OVER (PARTITION BY YKO, SKO ORDER BY SEQ, DAY, VNO, DENMENO, JUN, XKO
                            ROWS UNBOUNDED PRECEDING) AS ZAN,
           FIRST_VALUE(XKO) OVER (PARTITION BY YKO, SKO ORDER BY SEQ DESC, DAY, VNO, DENMENO, JUN, XKO
                                  ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) AS FIRSTX,
           COUNT(*) OVER (PARTITION BY YKO, SKO) AS N
    FROM (
        SELECT N.KANKOCODE AS YKO, N.HOKOCODE AS SKO, N.HOC, N.HON, 1 AS INRANGE, NULL AS XKO,
               0 AS SEQ, '' AS DAY, '' AS VNO, '0' AS DENMENO, 0 AS JUN,
               '00.01.01' AS SIDAY, '0' AS DENNO, '' AS KM, '' AS NAME, '' AS AICODE, '' AS AIHOCODE,
               '' AS AINAME, '' AS AIHONAME, '繰越残高' AS TEKIYO, 0 AS KR, 0 AS KS,
               COALESCE((SELECT CASE WHEN A.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END
                         FROM T_TUKIHOJO T
                         WHERE T.CID = ?1 AND T.KANKOCODE = N.KANKOCODE AND T.HOCODE = N.HOKOCODE
                           AND T.DATEYM >= ?2 AND T.DATEYM < ?3
                         ORDER BY T.DATEYM DESC LIMIT 1), 0) AS DELTA
        FROM named N JOIN acct A ON A.KOCODE = N.KANKOCODE
        UNION ALL
        SELECT S.AI, S.AIHO, N.HOC, N.HON, YA.KOCODE IS NOT NULL, S.KOCODE,
               1, S.SIDAY, S.VNO, S.DENMENO, S.JUN,
               substr(S.SIDAY, 3, 2) || '.' || substr(S.SIDAY, 6, 2) || '.' || substr(S.SIDAY, 9, 2), CAST(CAST(S.VNO AS INTEGER) AS TEXT), S.KM, S.NAME,
               CASE WHEN Y.KOCODE IS NULL THEN COALESCE(S.AI, '') ELSE trim(COALESCE(Y.KMCODE, ''), ' ') END,
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HOC ELSE N.HOC END,
               trim(COALESCE(Y.KANNAME, ''), ' '),
               CASE WHEN OA.KOCODE IS NOT NULL AND P.HOC IS NOT NULL THEN P.HON ELSE N.HON END,
               S.TEKIYO, S.KR, S.KS,
               CASE WHEN Y.TAIKBN = '0' THEN S.KS - S.KR ELSE S.KR - S.KS END
        FROM sides S
        JOIN named N ON N.KANKOCODE = S.AI AND N.HOKOCODE = S.AIHO
        LEFT JOIN T_KANJO Y ON Y.KOCODE = S.AI
        LEFT JOIN acct YA ON YA.KOCODE = S.AI
        LEFT JOIN acct OA ON OA.KOCODE = S.OTHERKO
        LEFT JOIN named P ON P.KANKOCODE = S.OTHERAI AND P.HOKOCODE = S.OTHERAIHO
    ) R
)
WHERE NOT (SEQ = 0 AND DELTA = 0 AND N = 1)
ORDER BY HOC, YKO, SKO, SEQ, DAY, VNO, DENMENO, JUN, XKO
)SQL";

}  // namespace ledgeroracle
