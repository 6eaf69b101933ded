#!/usr/bin/env python3
"""Writes the seed files of the chart of accounts and of the preset companies.

The shipped database takes its seed rows from ledger/schema/2xx_*.sql. The
rows of the chart follow rules (statement positions, sub-account switch, daily
entry counter account, order) that are easier to keep right in one table than
in 260 hand-written INSERTs, so the chart lives here and this script writes:

  200_mt_kanjo.sql        the chart template MT_KANJO
  210_companies.sql       the preset companies "01" to "50"
  220_company01_chart.sql the household book's own chart columns (T_KISYUZAN)
                          and the working chart T_KANJO already holding it
  230_presets.sql         the industry presets that ship their own chart columns

Run it from anywhere after changing the tables below and commit its output:
    python3 tools/chart/make_chart_sql.py [output folder, ledger/schema by default]
tests/ledger/tst_chart.cpp checks the result in the built database.
"""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCHEMA = os.path.join(ROOT, "ledger", "schema")

# ---------------------------------------------------------------------------
# The chart. One line per row:
#   KOCODE KMCODE SYORIKBN TAIKBN TOCODE BUNCODE DAIBUN NAME
# "-" is an empty value. NAME "~" is a spare slot: a numbered account with no
# name yet, which the user names in the account editor (accounts cannot be
# added, only slots filled). Kinds: 0 posting account, 1 total, 2 class.
# Sides: 0 debit-normal, 1 credit-normal. DAIBUN: 1 the daily entry's income
# grid, 2/3 its purchases and expenses grid.
# ---------------------------------------------------------------------------
SECTIONS = [
    ("Classes: large, middle and small. Posting accounts hang under the lowest class of their branch.", """
901 - 2 0 - 000 - 資産
902 - 2 0 - 000 - 負債
903 - 2 0 - 000 - 資本
904 - 2 0 - 000 - 経常損益
905 - 2 0 - 000 - 特別損益
906 - 2 0 - 000 - その他
911 - 2 0 - 901 - 流動資産
912 - 2 0 - 901 - 固定資産
913 - 2 0 - 901 - 繰延資産
914 - 2 0 - 902 - 流動負債
915 - 2 0 - 902 - 固定負債
916 - 2 0 - 903 - 資本金
917 - 2 0 - 903 - 法定準備金
918 - 2 0 - 903 - 剰余金
919 - 2 0 - 904 - 営業損益
920 - 2 0 - 904 - 営業外損益
921 - 2 0 - 905 - 特別利益
922 - 2 0 - 905 - 特別損失
931 - 2 0 - 919 - 営業収益
932 - 2 0 - 919 - 営業費用
933 - 2 0 - 919 - 製造原価
934 - 2 0 - 920 - 営業外収益
935 - 2 0 - 920 - 営業外費用
"""),
    ("Current assets. 004 is the cash account of every company; 012 to 014 are the bank accounts the imports offer.", """
004 101 0 0 028 911 - 現金
005 102 0 0 028 911 - 小口現金
006 111 0 0 028 911 - 当座預金
007 112 0 0 028 911 - 当座預金２
008 113 0 0 028 911 - 当座預金３
012 121 0 0 028 911 - 普通預金
013 122 0 0 028 911 - 普通預金２
014 123 0 0 028 911 - 普通預金３
015 131 0 0 028 911 - 通知預金
016 135 0 0 028 911 - 納税準備預金
017 141 0 0 028 911 - 定期預金
018 151 0 0 028 911 - 定期積金
019 155 0 0 028 911 - 積立預金
028 -   1 0 067 -   - 現金及び預金合計
029 165 0 0 067 911 - 受取手形
030 166 0 0 067 911 - 売掛金
031 164 0 0 067 911 - クレジット売掛金
032 168 0 0 067 911 - 未収入金
033 169 0 0 067 911 - 未収収益
034 167 0 0 067 911 - 有価証券
035 171 0 0 067 911 - 商品
036 172 0 0 067 911 - 製品
037 173 0 0 067 911 - 原材料
038 174 0 0 067 911 - 仕掛品
039 175 0 0 067 911 - 貯蔵品
040 181 0 0 067 911 - 前払金
041 184 0 0 067 911 - 前払費用
042 185 0 0 067 911 - 立替金
043 186 0 0 067 911 - 仮払金
044 187 0 0 067 911 - ~
045 182 0 0 067 911 - 短期貸付金
046 910 0 0 067 911 - 仮払消費税
047 912 0 0 067 911 - 未収消費税等
048 199 0 1 067 911 - 貸倒引当金
067 -   1 0 113 -   - 流動資産合計
"""),
    ("Fixed and deferred assets, and the proprietor's drawings (rolled up with the assets, as the blue-return balance sheet shows them).", """
068 -   1 0 000 -   - 固定資産
069 211 0 0 082 912 - 建物
070 212 0 0 082 912 - 建物附属設備
071 213 0 0 082 912 - 構築物
072 214 0 0 082 912 - 機械装置
073 215 0 0 082 912 - 車両運搬具
074 216 0 0 082 912 - 工具器具備品
075 221 0 0 082 912 - 土地
076 222 0 0 082 912 - 建設仮勘定
077 224 0 0 082 912 - 一括償却資産
082 -   1 0 103 -   - 有形固定資産合計
083 232 0 0 090 912 - 電話加入権
084 233 0 0 090 912 - 借地権
085 234 0 0 090 912 - ソフトウェア
086 235 0 0 090 912 - ~
090 -   1 0 103 -   - 無形固定資産合計
091 241 0 0 102 912 - 投資有価証券
092 242 0 0 102 912 - 出資金
093 243 0 0 102 912 - 敷金
094 244 0 0 102 912 - 差入保証金
095 245 0 0 102 912 - 長期貸付金
096 246 0 0 102 912 - 長期前払費用
097 247 0 0 102 912 - 保険積立金
098 248 0 0 102 912 - ~
099 249 0 0 102 912 - その他の投資
102 -   1 0 103 -   - 投資その他の資産合計
103 -   1 0 113 -   - 固定資産合計
104 252 0 0 113 913 - 創立費
105 253 0 0 113 913 - 開業費
106 254 0 0 113 913 - ~
107 251 0 0 113 916 - 事業主貸
113 -   1 0 000 -   - 資産合計
"""),
    ("Liabilities. 134 takes the payroll withholdings.", """
114 311 0 1 145 914 - 支払手形
115 312 0 1 145 914 - 買掛金
116 313 0 1 145 914 - 短期借入金
117 317 0 1 145 914 - 手形借入金
118 320 0 1 145 914 - 当座借越
119 314 0 1 145 914 - 未払金
120 323 0 1 145 914 - 未払費用
121 315 0 1 145 914 - 前受金
122 324 0 1 145 914 - ~
123 325 0 1 145 914 - 仮受金
124 327 0 1 145 914 - 未払法人税等
125 911 0 1 145 914 - 仮受消費税
126 913 0 1 145 914 - 未払消費税等
127 328 0 1 145 914 - 賞与引当金
134 316 0 1 145 914 - 預り金
135 354 0 1 145 914 - 従業員預り金
145 -   1 1 152 -   - 流動負債合計
146 352 0 1 151 915 - 長期借入金
147 353 0 1 151 915 - 長期未払金
151 -   1 1 152 -   - 固定負債合計
152 -   1 1 176 -   - 負債合計
"""),
    ("Capital. 171 holds the profit brought forward; the year-end gives it the closing balance of 353.", """
153 411 0 1 175 916 - 資本金
154 412 0 1 175 916 - 元入金
155 413 0 1 175 916 - 事業主借
156 421 0 1 175 917 - 資本準備金
157 422 0 1 175 917 - 利益準備金
158 431 0 1 174 918 - 任意積立金
159 433 0 1 174 918 - 別途積立金
160 441 0 1 174 918 - その他利益剰余金
171 451 0 1 174 918 - 前期繰越利益
174 -   1 1 175 -   - 剰余金合計
175 -   1 1 176 -   - 資本合計
176 -   1 1 000 -   - 負債・資本合計
"""),
    ("Sales. 178 is a heading of the profit and loss statement; 186 to 189 are deducted from sales.", """
178 -   1 0 000 -   - 経常損益の部
180 511 0 1 192 931 1 売上高
181 512 0 1 192 931 1 製品売上高
182 513 0 1 192 931 1 役務収益
183 514 0 1 192 931 - 家事消費等
184 515 0 1 192 931 1 加工賃収入
185 516 0 1 192 931 1 手数料収入
186 521 0 0 192 931 - 売上値引高
187 522 0 0 192 931 - 売上戻り高
188 523 0 0 192 931 - 売上割戻し高
189 524 0 0 192 931 - ~
190 517 0 1 192 931 1 その他の売上
191 518 0 1 192 931 1 ~
192 -   1 1 000 -   - 純売上高
193 -   1 0 000 -   - 売上原価の部
"""),
    ("Manufacturing cost: materials (204), labour (214), overheads (238), outside work (240). 202 is computed by the statement, never posted.", """
195 621 0 0 204 933 - 期首材料棚卸高
196 622 0 0 204 933 2 材料仕入高
199 626 0 1 204 933 - 材料仕入値引高
202 -   0 0 204 933 - 材料費小計
203 624 0 1 204 933 - 期末材料棚卸高
204 -   1 0 000 -   - 材料費
205 631 0 0 214 933 3 賃金
206 632 0 0 214 933 3 給料（製造）
207 633 0 0 214 933 3 賞与（製造）
208 634 0 0 214 933 3 雑給（製造）
209 635 0 0 214 933 3 法定福利費（製造）
210 636 0 0 214 933 3 福利厚生費（製造）
214 -   1 0 000 -   - 労務費
215 651 0 0 238 933 3 電力費
216 652 0 0 238 933 3 水道光熱費（製造）
217 653 0 0 238 933 3 工場消耗品費
218 654 0 0 238 933 3 修繕費（製造）
219 655 0 0 238 933 3 荷造運賃（製造）
220 656 0 0 238 933 3 保険料（製造）
221 657 0 0 238 933 3 賃借料（製造）
222 658 0 0 238 933 3 租税公課（製造）
223 661 0 0 238 933 3 旅費交通費（製造）
224 662 0 0 238 933 3 通信費（製造）
225 663 0 0 238 933 - 減価償却費（製造）
226 664 0 0 238 933 3 試験研究費
227 675 0 0 238 933 3 事務用品費（製造）
228 676 0 0 238 933 3 支払手数料（製造）
229 677 0 0 238 933 3 ~
230 680 0 0 238 933 3 雑費（製造）
238 -   1 0 000 -   - 製造経費
239 641 0 0 240 933 3 外注加工費
240 -   1 0 000 -   - 外注加工費合計
241 -   1 0 000 -   - 当期総製造費用
242 681 0 0 245 933 - 期首仕掛品棚卸高
244 682 0 1 245 933 - 期末仕掛品棚卸高
245 -   1 0 000 -   - 当期製品製造原価
"""),
    ("Cost of sales. 258 is computed by the statement, never posted; 254, 255 and 259 are deducted.", """
246 611 0 0 260 932 - 期首商品棚卸高
247 550 0 0 260 932 2 仕入高
248 551 0 0 260 932 2 ~
249 552 0 0 260 932 2 仕入諸掛
254 615 0 1 260 932 - 仕入値引高
255 616 0 1 260 932 - 仕入戻し高
258 -   0 0 260 932 - 売上原価小計
259 617 0 1 260 932 - 期末商品棚卸高
260 -   1 0 000 -   - 売上原価
261 -   1 1 000 -   - 売上総利益
"""),
    ("Selling and general expenses. 263 to 265, 268 and 271 take the payroll import; 271 to 309 and 283 the bank import's description codes.", """
263 714 0 0 310 932 3 役員報酬
264 712 0 0 310 932 3 給料手当
265 713 0 0 310 932 3 賞与
266 715 0 0 310 932 3 雑給
267 711 0 0 310 932 3 専従者給与
268 716 0 0 310 932 3 法定福利費
269 717 0 0 310 932 3 福利厚生費
270 744 0 0 310 932 3 外注工賃
271 722 0 0 310 932 3 旅費交通費
272 724 0 0 310 932 3 通信費
273 719 0 0 310 932 3 荷造運賃
274 718 0 0 310 932 3 広告宣伝費
275 725 0 0 310 932 3 水道光熱費
276 741 0 0 310 932 3 燃料費
277 727 0 0 310 932 3 接待交際費
278 743 0 0 310 932 3 会議費
279 728 0 0 310 932 3 消耗品費
280 729 0 0 310 932 3 事務用品費
281 732 0 0 310 932 3 修繕費
282 734 0 0 310 932 3 車両費
283 760 0 0 310 932 3 雑費
284 738 0 0 310 932 3 ガソリン代
285 733 0 0 310 932 3 損害保険料
286 726 0 0 310 932 3 租税公課
287 739 0 0 310 932 3 支払手数料
288 731 0 0 310 932 3 賃借料
289 742 0 0 310 932 3 諸会費
290 751 0 0 310 932 3 新聞図書費
291 752 0 0 310 932 3 研修費
292 747 0 0 310 932 3 地代家賃
293 753 0 0 310 932 3 支払報酬料
294 754 0 0 310 932 3 ~
295 735 0 0 310 932 - 減価償却費
296 746 0 0 310 932 - 貸倒金
297 736 0 0 310 932 - 貸倒引当金繰入額
298 737 0 0 310 932 - 退職給与引当金繰入額
309 755 0 0 310 932 3 管理費
310 -   1 0 000 -   - 販売費及び一般管理費計
311 -   1 1 000 -   - 営業利益
"""),
    ("Non-operating income and expenses. 312 is a heading; 314 takes the bank import's interest.", """
312 -   1 0 000 -   - 営業外損益の部
314 811 0 1 321 934 - 受取利息
315 812 0 1 321 934 - 受取配当金
316 814 0 1 321 934 - ~
317 815 0 1 321 934 - 仕入割引
320 813 0 1 321 934 1 雑収入
321 -   1 1 000 -   - 営業外収益合計
322 821 0 0 329 935 3 支払利息
323 822 0 0 329 935 - 手形売却損
324 823 0 0 329 935 - 雑損失
325 824 0 0 329 935 - 為替差損
329 -   1 0 000 -   - 営業外費用合計
330 -   1 1 000 -   - 経常利益
"""),
    ("Extraordinary items.", """
331 851 0 1 341 921 - 貸倒引当金戻入
332 853 0 1 341 921 - 固定資産売却益
333 855 0 1 341 921 - 前期損益修正益
341 -   1 1 000 -   - 特別利益合計
342 862 0 0 345 922 - 固定資産売却損
343 864 0 0 345 922 - 固定資産除却損
345 -   1 0 000 -   - 特別損失合計
346 -   1 1 000 -   - 税引前当期純利益
"""),
    ("Profit and its appropriation. The summation writes 348 and 353 from 113 and 176, so nothing rolls into them; the posting accounts here roll into 357, which stands on no statement.", """
347 871 0 0 357 906 - 法人税等
348 -   1 1 000 -   - 当期純利益
349 872 0 1 357 906 - 任意積立金取崩額
351 873 0 0 357 906 - 準備金繰入額
352 874 0 0 357 906 - 利益準備金積立額
353 -   1 1 000 -   - 当期未処分利益
355 875 0 0 357 906 - 中間配当金
356 876 0 0 357 906 - 役員賞与金
357 -   1 0 000 -   - 利益処分項目計
"""),
    ("Outside both statements: the payroll clearing account and the sundry account, rolled into 152 so that the balance sheet and the profit and loss statement give the same profit.", """
363 399 0 1 152 914 - 給与仮勘定
999 999 0 1 152 906 - 諸口
"""),
]

# Accounts of the daily-entry grids that stay out of them until the company
# gives them an order (JUN): the manufacturing accounts, which only a
# manufacturer needs on the cash screen.
GRID_HIDDEN = {"196", "205", "206", "207", "208", "209", "210", "215", "216", "217", "218", "219", "220",
               "221", "222", "223", "224", "226", "227", "228", "229", "230", "239"}

# Position of each profit-and-loss row on its page, in print order. 171 is
# placed at 1975 by the statement itself, between 348 and the appropriation.
PL_ORDER = ("178 180 181 182 183 184 185 190 191 186 187 188 189 192 "
            "193 246 247 248 249 245 254 255 258 259 260 261 "
            "263 264 265 266 267 268 269 270 271 272 273 274 275 276 277 278 279 280 281 282 283 284 285 286 "
            "287 288 289 290 291 292 293 294 295 296 297 298 309 310 311 "
            "312 314 315 316 317 320 321 322 323 324 325 329 330 "
            "331 332 333 341 342 343 345 346").split()
PL_TAIL = {"347": 1960, "348": 1970, "349": 1980, "351": 1984, "352": 1986, "355": 1987, "356": 1988,
           "353": 1990}

# Manufacturing report groups (PCODE2): each section lists the accounts that
# share the group of its total.
MFG_GROUP = [("195", "204", "4204"), ("205", "214", "4214"), ("215", "238", "4238"), ("239", "240", "4240")]


class Row:
    def __init__(self, line):
        parts = line.split(None, 7)
        self.ko, km, self.kind, self.side, to, bun, dai, name = parts
        self.km = "" if km == "-" else km
        self.to = "" if to == "-" else to
        self.bun = "" if bun == "-" else bun
        self.dai = "" if dai == "-" else dai
        self.spare = name == "~"
        self.name = "" if self.spare else name


def chart_rows():
    rows = []
    for _, body in SECTIONS:
        rows.extend(Row(l) for l in body.strip().splitlines())
    return rows


def kaipage(r):
    k = int(r.ko)
    if r.kind == "2" or k > 356:
        return ""
    if k <= 113:
        return "1"
    if k <= 176:
        return "2"
    if 195 <= k <= 244:
        return "4"
    return "3"


def positions(rows):
    """PCODE1 and PCODE2 of every row, by the scheme of the statements."""
    pos = {}
    for r in rows:
        page = kaipage(r)
        if page in ("1", "4"):
            pos[r.ko] = 1000 + int(r.ko)
    liabilities = [r.ko for r in rows if kaipage(r) == "2" and int(r.ko) < 152]
    for i, ko in enumerate(liabilities):
        pos[ko] = 1100 + 10 * i
    pos["152"] = 1400
    equity = [r.ko for r in rows if kaipage(r) == "2" and 152 < int(r.ko) < 171]
    for i, ko in enumerate(equity):
        pos[ko] = 1410 + 8 * i
    pos.update({"171": 1480, "174": 1490, "175": 1495, "176": 1499})
    for i, ko in enumerate(PL_ORDER):
        pos[ko] = 1000 + 10 * i
    pos.update(PL_TAIL)
    group = {}
    for first, head, code in MFG_GROUP:
        for r in rows:
            if first <= r.ko <= head:
                group[r.ko] = code
    out = {}
    for r in rows:
        page = kaipage(r)
        if not page:
            out[r.ko] = ("", "")
        else:
            out[r.ko] = (str(pos[r.ko]), group.get(r.ko, page + r.ko))
    return out


def jun(r):
    if r.kind != "0" or not r.km or r.ko in GRID_HIDDEN:
        return 0
    return int(r.km)


def hosetno(r):
    if r.kind == "0" and r.km and (r.km < "500" or r.km > "800"):
        return "N"
    return "Y"


def q(text):
    assert "'" not in text
    return "'" + text + "'"


HEADER = """-- {what}
-- Written by tools/chart/make_chart_sql.py: change the tables there and run it
-- again rather than editing this file.
"""

MT_COLUMNS = ("KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE, DAIBUN, JUN, AICODE, HOSETNO, "
              "KAIPAGE, PCODE1, PCODE2, PCODE3, SIYOU, HOJOSET, KISYUZAN, KISYUMKBN, "
              "KNBUN, NOCNG, BUMONSET, TYUBUN, SYOBUN, CID")


def write_mt_kanjo(rows):
    pos = positions(rows)
    out = [HEADER.format(what="The chart of accounts template MT_KANJO: the initial chart of every company.")]
    out.append("""--
-- KOCODE is the fixed internal code every table refers to; KMCODE the user's
-- account number (empty on classes, totals, headings and the two rows the
-- statement computes). A posting account with a number but no name is a spare
-- slot for the user to name. The columns after PCODE2 are the same on every
-- row: KAIPAGE is the statement page (1 assets, 2 liabilities and capital,
-- 3 profit and loss, 4 manufacturing cost), PCODE1 "1" and the position on
-- that page in print order, PCODE2 the page and the code, or on manufacturing
-- rows the report group of their section. Accounts of the daily-entry grids
-- post against the cash account 004 (AICODE); JUN 0 keeps an account out of
-- the grids until the company gives it an order.
""")
    for title, body in SECTIONS:
        codes = [l.split()[0] for l in body.strip().splitlines()]
        out.append("\n-- " + title + "\n")
        out.append("INSERT INTO MT_KANJO (" + MT_COLUMNS + ") VALUES\n")
        lines = []
        for r in rows:
            if r.ko not in codes:
                continue
            p1, p2 = pos[r.ko]
            values = [q(r.ko), q(r.km), q(r.name), q(r.kind), q(r.side), q(r.to), q(r.bun), q(r.dai),
                      str(jun(r)), q("004" if r.dai else ""), q(hosetno(r)), q(kaipage(r)), q(p1), q(p2),
                      "''", "'Y'", "'N'", "0", "'0'", "''", "''", "''", "''", "''", "'01'"]
            lines.append("    (" + ", ".join(values) + ")")
        out.append(",\n".join(lines) + ";\n")
    return "".join(out)


# ---------------------------------------------------------------------------
# Preset companies. Every preset starts with the period 2000/01/01 to
# 2000/12/31, which the program takes as "period not set up yet": choosing the
# company opens the company screen so that the user sets the real period.
# ---------------------------------------------------------------------------
COMPANIES = [
    ("01", "家計簿", "カケイボ"),
    ("02", "小売業", "コウリギョウ"),
    ("03", "卸売業", "オロシウリギョウ"),
    ("04", "飲食業", "インショクギョウ"),
    ("05", "建設業", "ケンセツギョウ"),
    ("06", "製造業", "セイゾウギョウ"),
    ("07", "不動産業", "フドウサンギョウ"),
    ("08", "運送業", "ウンソウギョウ"),
    ("09", "美容業", "ビヨウギョウ"),
    ("10", "理容業", "リヨウギョウ"),
    ("11", "サービス業", "サービスギョウ"),
    ("12", "農業", "ノウギョウ"),
    ("13", "漁業", "ギョギョウ"),
    ("14", "医業", "イギョウ"),
    ("15", "歯科医業", "シカイギョウ"),
    ("16", "薬局", "ヤッキョク"),
    ("17", "旅館業", "リョカンギョウ"),
    ("18", "クリーニング業", "クリーニングギョウ"),
    ("19", "印刷業", "インサツギョウ"),
    ("20", "ソフトウェア業", "ソフトウェアギョウ"),
    ("21", "建築設計業", "ケンチクセッケイギョウ"),
    ("22", "税理士業", "ゼイリシギョウ"),
    ("23", "学習塾", "ガクシュウジュク"),
    ("24", "介護事業", "カイゴジギョウ"),
    ("25", "タクシー業", "タクシーギョウ"),
    ("26", "自動車整備業", "ジドウシャセイビギョウ"),
    ("27", "自動車販売業", "ジドウシャハンバイギョウ"),
    ("28", "食料品小売業", "ショクリョウヒンコウリギョウ"),
    ("29", "酒類小売業", "シュルイコウリギョウ"),
    ("30", "衣料品小売業", "イリョウヒンコウリギョウ"),
    ("31", "家電小売業", "カデンコウリギョウ"),
    ("32", "菓子製造小売業", "カシセイゾウコウリギョウ"),
    ("33", "パン製造小売業", "パンセイゾウコウリギョウ"),
    ("34", "喫茶店", "キッサテン"),
    ("35", "居酒屋", "イザカヤ"),
    ("36", "写真業", "シャシンギョウ"),
    ("37", "広告業", "コウコクギョウ"),
    ("38", "デザイン業", "デザインギョウ"),
    ("39", "翻訳業", "ホンヤクギョウ"),
    ("40", "著述業", "チョジュツギョウ"),
    ("41", "鍼灸院", "シンキュウイン"),
    ("42", "獣医業", "ジュウイギョウ"),
    ("43", "造園業", "ゾウエンギョウ"),
    ("44", "電気工事業", "デンキコウジギョウ"),
    ("45", "塗装業", "トソウギョウ"),
    ("46", "内装工事業", "ナイソウコウジギョウ"),
    ("47", "通信販売業", "ツウシンハンバイギョウ"),
    ("48", "コンサルタント業", "コンサルタントギョウ"),
    ("49", "保険代理業", "ホケンダイリギョウ"),
    ("50", "清掃業", "セイソウギョウ"),
]

COMPANY_COLUMNS = ("CID, COMPANY, CFKN, ZIP, ADRSTDHK, ADRS1, ADRS2, TEL, FAX, TYAKU, TNAME, TFKN, NOMAL, "
                   "KISYU, KIMATU, GKBN, STKBN, KANCNG, NENDOSU, PKISYU, PKIMATU, KISYUM, SETURITU, SIHON, "
                   "SIINLDAY, AICODE, RATE")


def write_companies():
    out = [HEADER.format(what="The preset companies: \"01\" the household book, \"02\" to \"50\" industry templates.")]
    out.append("""--
-- Each starts as an individual (GKBN '0') with the period 2000/01/01 to
-- 2000/12/31, the mark of a period not set up: the first time the user picks
-- one, the company screen opens to set the real period. The end of the input
-- range is the period's end plus three months; the cash account is 004.
-- WK_COMPANY ships empty, so the first start opens "01".

INSERT INTO T_COMP_MAIN (""" + COMPANY_COLUMNS + """) VALUES
""")
    lines = []
    for cid, name, kana in COMPANIES:
        values = [q(cid), q(name), q(kana), "''", "''", "''", "''", "''", "''", "''", "''", "''", "'0'",
                  "'2000/01/01'", "'2000/12/31'", "'0'", "''", "'0'", "1", "'2000年01月01日'",
                  "'2000年12月31日'", "'2000/01'", "''", "0", "'2001/03/31'", "'004'", "0"]
        lines.append("    (" + ", ".join(values) + ")")
    out.append(",\n".join(lines) + ";\n")
    return "".join(out)


# ---------------------------------------------------------------------------
# Chart columns of presets. Each entry: KOCODE -> changes of the company's own
# columns: a new name, not in use (SIYOU 'N'), or an order (JUN: 0 keeps a grid
# account off the daily-entry screen, SHOW gives it its number as order).
# Account numbers never change: the statements select by them.
# ---------------------------------------------------------------------------
def n(name=None, jun=None, off=False):
    return {"name": name, "jun": jun, "off": off}


SHOW = "show"
OFF = n(off=True)
HIDE = n(jun=0)

HOUSEHOLD = {
    # Assets: cash, deposits and what a household owns or is owed.
    "005": OFF, "006": OFF, "007": OFF, "008": OFF, "015": OFF, "016": OFF,
    "029": OFF, "030": OFF, "031": OFF, "032": n("未収金"), "033": OFF, "034": n("株式・投資信託"),
    "035": OFF, "036": OFF, "037": OFF, "038": OFF, "039": OFF, "040": OFF, "041": OFF, "043": OFF,
    "045": n("貸付金"), "046": OFF, "047": OFF, "048": OFF,
    "069": n("住宅"), "070": OFF, "071": OFF, "072": OFF, "073": n("自動車"), "074": OFF, "076": OFF,
    "077": OFF, "083": OFF, "084": OFF, "085": OFF, "091": OFF, "092": OFF, "094": OFF, "095": OFF,
    "096": OFF, "097": n("積立保険"), "099": OFF, "104": OFF, "105": OFF, "106": OFF, "913": OFF,
    # Liabilities: loans and card bills.
    "114": OFF, "115": OFF, "116": n("借入金"), "117": OFF, "118": OFF, "119": n("カード未払金"),
    "120": OFF, "121": OFF, "123": OFF, "124": OFF, "125": OFF, "126": OFF, "127": OFF, "135": OFF,
    "146": n("住宅ローン"), "147": n("その他のローン"),
    # Net worth.
    "153": OFF, "154": n("純資産"), "155": OFF, "156": OFF, "157": OFF, "158": OFF, "159": OFF,
    "160": OFF, "917": OFF, "171": n("前期繰越収支"), "174": n("繰越収支合計"), "175": n("純資産合計"),
    "176": n("負債・純資産合計"),
    # Income, in the order of the income grid.
    "178": n("収支の部"), "180": n("給料"), "181": n("賞与"), "182": n("年金"), "183": OFF,
    "184": n("副収入"), "185": n("児童手当"), "186": OFF, "187": OFF, "188": OFF, "189": OFF,
    "190": n("臨時収入"), "192": n("収入合計"), "261": n("差引収入"),
    # Purchases and manufacturing are not a household's.
    "933": OFF, "195": OFF, "196": OFF, "199": OFF, "203": OFF, "205": OFF, "206": OFF, "207": OFF,
    "208": OFF, "209": OFF, "210": OFF, "215": OFF, "216": OFF, "217": OFF, "218": OFF, "219": OFF,
    "220": OFF, "221": OFF, "222": OFF, "223": OFF, "224": OFF, "225": OFF, "226": OFF, "227": OFF,
    "228": OFF, "229": OFF, "230": OFF, "239": OFF, "242": OFF, "244": OFF,
    "246": OFF, "247": HIDE, "248": OFF, "249": OFF, "254": OFF, "255": OFF, "259": OFF,
    # Living costs, in the order of the expense grid.
    "263": n("食費"), "264": n("外食費"), "265": n("衣服費"), "266": n("美容費"), "267": n("医療費"),
    "268": n("教育費"), "269": n("子ども費"), "270": n("教養娯楽費"), "271": n("交通費"), "273": OFF,
    "274": n("交際費"), "276": n("ガソリン代"), "277": n("冠婚葬祭費"), "278": n("こづかい"),
    "279": n("日用品費"), "280": n("家具・家電"), "281": n("住宅修繕費"), "282": n("自動車関係費"),
    "284": OFF, "285": n("保険料"), "286": n("税金・社会保険料"), "287": n("手数料"), "288": n("駐車場代"),
    "289": n("会費・寄付金"), "290": n("新聞・書籍代"), "291": n("習い事"), "292": n("住居費"),
    "293": OFF, "295": OFF, "296": OFF, "297": OFF, "298": OFF, "309": n("管理費・共益費"),
    "310": n("生活費合計"), "311": n("差引収支"),
    "317": OFF, "320": n("その他の収入"), "321": n("その他の収入合計"), "322": n("ローン利息"),
    "323": OFF, "324": n("その他の支出"), "325": OFF, "329": n("その他の支出合計"), "330": n("経常収支"),
    "331": OFF, "332": n("資産売却益"), "333": OFF, "341": n("特別収入合計"), "342": n("資産売却損"),
    "343": OFF, "345": n("特別支出合計"), "346": n("収支差額"),
    "347": OFF, "348": n("当期収支"), "349": OFF, "351": OFF, "352": OFF, "353": n("累計収支"),
    "355": OFF, "356": OFF,
}

RESTAURANT = {
    "181": n("テイクアウト売上"), "182": HIDE, "184": HIDE, "185": HIDE,
    "247": n("食材仕入高"), "248": n("飲料仕入高", jun=SHOW),
}

CONSTRUCTION = {
    "030": n("完成工事未収入金"), "038": n("未成工事支出金"), "115": n("工事未払金"),
    "121": n("未成工事受入金"), "180": n("完成工事高"), "181": n("兼業事業売上高", jun=0),
    "182": HIDE, "184": HIDE, "185": HIDE, "239": n("外注費", jun=SHOW),
    "196": n(jun=SHOW), "205": n(jun=SHOW), "206": n(jun=SHOW), "209": n(jun=SHOW), "218": n(jun=SHOW),
    "221": n(jun=SHOW), "223": n(jun=SHOW), "230": n(jun=SHOW),
}

# Every manufacturing account of the grids on the daily-entry screen.
MANUFACTURING = {ko: n(jun=SHOW) for ko in sorted(GRID_HIDDEN)}

REAL_ESTATE = {
    "180": n("賃貸料収入"), "181": n("礼金・更新料収入"), "182": n("駐車場収入"), "184": HIDE,
    "185": n("仲介手数料収入"), "135": n("預り敷金"), "247": HIDE, "248": HIDE, "249": HIDE,
}

TRANSPORT = {
    "180": n("運送収入"), "181": HIDE, "182": HIDE, "184": HIDE, "185": HIDE,
    "247": HIDE, "248": HIDE, "249": HIDE, "284": n("軽油代"),
}

TAXI = dict(TRANSPORT, **{"180": n("営業収入"), "284": n("ＬＰガス代")})

BEAUTY = {
    "180": n("技術売上"), "181": n("店販売上"), "182": HIDE, "184": HIDE, "185": HIDE,
    "247": n("店販商品仕入高"), "248": n("施術材料仕入高", jun=SHOW),
}

# Which presets ship their own chart columns. The others get the template on
# their first use, as a company the user creates does.
PRESETS = [
    ("04", RESTAURANT), ("34", RESTAURANT), ("35", RESTAURANT),
    ("05", CONSTRUCTION), ("43", CONSTRUCTION), ("44", CONSTRUCTION), ("45", CONSTRUCTION),
    ("46", CONSTRUCTION),
    ("06", MANUFACTURING), ("19", MANUFACTURING), ("32", MANUFACTURING), ("33", MANUFACTURING),
    ("07", REAL_ESTATE), ("08", TRANSPORT), ("25", TAXI), ("09", BEAUTY), ("10", BEAUTY),
]

# Construction presets call the manufacturing section their construction cost.
SUFFIX_SWAP = {"05", "43", "44", "45", "46"}


def company_updates(cid, changes, rows):
    by_ko = {r.ko: r for r in rows}
    out = []
    for ko in sorted(changes, key=lambda k: by_ko[k].ko):
        c = changes[ko]
        r = by_ko[ko]
        sets = []
        if c["name"] is not None:
            sets.append("KANNAME = " + q(c["name"]))
        if c["off"]:
            sets.append("SIYOU = 'N'")
        if c["jun"] == SHOW:
            sets.append("JUN = " + str(int(r.km)))
        elif c["jun"] is not None:
            sets.append("JUN = " + str(c["jun"]))
        out.append("UPDATE T_KISYUZAN SET " + ", ".join(sets) + " WHERE CID = " + q(cid) +
                   " AND KOCODE = " + q(ko) + ";  -- " + (r.name or "（空き）") + "\n")
    if cid in SUFFIX_SWAP:
        out.append("UPDATE T_KISYUZAN SET KANNAME = REPLACE(KANNAME, '（製造）', '（工事）') WHERE CID = " +
                   q(cid) + ";\n")
    return "".join(out)


SEED_KISYUZAN = ("INSERT INTO T_KISYUZAN (CID, KOCODE, KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, HOJOSET, "
                 "KISYUMKBN, RATE)\n    SELECT {cid}, KOCODE, KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, "
                 "HOJOSET, KISYUMKBN, 0 FROM MT_KANJO;\n")


def write_company01(rows):
    out = [HEADER.format(what="The household book \"01\": its own chart columns, and the working chart holding them.")]
    out.append("""--
-- The household book keeps the template's accounts and numbers under
-- household names; business accounts it has no use for are not in use, so
-- that neither the chart screen nor the entry lists offer them. Accounts the
-- program posts to by code keep their rows in use. The working chart T_KANJO
-- ships as the program would leave it after making "01" current: the template's
-- structure overlaid with these columns.

""" + SEED_KISYUZAN.format(cid="'01'"))
    out.append(company_updates("01", HOUSEHOLD, rows))
    out.append("""
INSERT INTO T_KANJO (KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, BUMONSET,
                     HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, DAIBUN,
                     TYUBUN, SYOBUN, JUN, KISYUMKBN)
    SELECT KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, BUMONSET, HOJOSET,
           HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, DAIBUN, TYUBUN, SYOBUN, JUN,
           KISYUMKBN
    FROM MT_KANJO;
UPDATE T_KANJO SET (KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, HOJOSET, KISYUMKBN) =
    (SELECT KMCODE, KANNAME, KISYUZAN, JUN, SIYOU, AICODE, HOJOSET, KISYUMKBN FROM T_KISYUZAN
     WHERE T_KISYUZAN.CID = '01' AND T_KISYUZAN.KOCODE = T_KANJO.KOCODE);
""")
    return "".join(out)


def write_presets(rows):
    names = dict((cid, name) for cid, name, _ in COMPANIES)
    out = [HEADER.format(what="Industry presets that ship their own chart columns.")]
    out.append("""--
-- Same accounts and numbers as the template; names, daily-entry order and use
-- suited to the trade. Presets not listed here take the template when first
-- used.
""")
    for cid, changes in PRESETS:
        out.append("\n-- " + cid + " " + names[cid] + "\n")
        out.append(SEED_KISYUZAN.format(cid=q(cid)))
        out.append(company_updates(cid, changes, rows))
    return "".join(out)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else SCHEMA
    rows = chart_rows()
    codes = [r.ko for r in rows]
    assert len(codes) == len(set(codes)), "duplicate KOCODE"
    missing = [ko for ko in PL_ORDER + list(PL_TAIL) if ko not in codes]
    assert not missing, missing
    placed = set(PL_ORDER) | set(PL_TAIL)
    unplaced = [r.ko for r in rows if kaipage(r) == "3" and r.ko not in placed]
    assert not unplaced, unplaced
    files = {
        "200_mt_kanjo.sql": write_mt_kanjo(sorted(rows, key=lambda r: r.ko)),
        "210_companies.sql": write_companies(),
        "220_company01_chart.sql": write_company01(rows),
        "230_presets.sql": write_presets(rows),
    }
    for name, text in files.items():
        with open(os.path.join(out_dir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
