#!/usr/bin/python3
"""Spreadsheet files for the import tests, made with openpyxl, and what they hold.

edit IN.xlsx OUT.xlsx   changes three handsets, adds two, adds one the import must refuse;
                        prints the catalogue the import should leave (one line per handset,
                        columns joined by '|', ordered by management number)
facts IN.xlsx           prints what the export must keep: rows, whether the header row is bold
                        and whether every management number is a text cell
hostile OUT.xlsx [N]    a workbook of awkward cells, one text N characters long (40,000);
                        prints the texts a reader should give
"""
import json
import sys

import openpyxl

FIELDS = ["관리번호", "ID", "출시년도", "제조회사", "여는방식", "안테나형태", "모델명", "SAR값", "애칭"]


def edit(src, dst):
    wb = openpyxl.load_workbook(src)
    ws = wb.worksheets[0]
    header = [c.value for c in ws[1]]
    col = {name: header.index(name) + 1 for name in FIELDS}
    rows = []
    for r in range(2, ws.max_row + 1):
        rows.append({name: ws.cell(r, col[name]).value or "" for name in FIELDS})
    # Three changes: one field, two fields, a field emptied.
    ws.cell(2, col["모델명"]).value = "애니콜 W270 골드"
    rows[0]["모델명"] = "애니콜 W270 골드"
    ws.cell(3, col["애칭"]).value = "새 별명"
    ws.cell(3, col["제조회사"]).value = "삼성"
    rows[1]["애칭"] = "새 별명"
    rows[1]["제조회사"] = "삼성"
    ws.cell(5, col["SAR값"]).value = None
    rows[3]["SAR값"] = ""
    last = max(int(r["관리번호"]) for r in rows)
    added = [["", "NEW-1", "2024", "새회사", "바", "내장형", "새폰 하나", "0.5", "하나"],
             ["", "NEW-2", "2025", "새회사", "폴더", "외장형", "새폰 둘", "", ""]]
    for i, a in enumerate(added):
        ws.append(a)
        rows.append(dict(zip(FIELDS, a), 관리번호="%06d" % (last + 1 + i)))
    # Refused: a release year that is no number.
    ws.append(["", "BAD-1", "이천년", "", "", "", "", "", ""])
    wb.save(dst)
    for r in sorted(rows, key=lambda r: r["관리번호"]):
        print("|".join(str(r[name]) for name in FIELDS))


def facts(src):
    wb = openpyxl.load_workbook(src, read_only=True)
    ws = wb.worksheets[0]
    rows = list(ws.iter_rows())
    header_bold = all(c.font.bold for c in rows[0] if c.value)
    codes_text = all(r[0].data_type == "s" for r in rows[1:] if r[0].value is not None)
    print("sheets=%d rows=%d bold=%d text=%d last=%s" % (len(wb.worksheets), len(rows), header_bold, codes_text,
                                                        rows[-1][0].value))


def hostile(dst, length):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "자료"
    import datetime
    long_text = "가" * length
    ws.append(["관리번호", "ID", "출시년도", "모델명", "애칭"])
    ws.append(["000001", "A-1", 2008, "갤럭시, \"S\"", "=1+1"])
    ws.append(["000002", "A-2", datetime.date(2004, 1, 1), long_text, 0.982])
    ws.cell(4, 1).value = "=SUM(1,2)"
    ws.cell(4, 2).value = "병합"
    ws.merge_cells("B4:C4")
    ws.cell(4, 4).value = True
    wb.create_sheet("두번째").append(["x"])
    wb.save(dst)
    # A formula's text is written without its value: a reader finds no value to show.
    # openpyxl keeps the 32,767 characters a cell holds in Excel.
    expected = [FIELDS[:3] + ["모델명", "애칭"],
                ["000001", "A-1", "2008", "갤럭시, \"S\"", ""],
                ["000002", "A-2", "2004-01-01", long_text[:32767], "0.982"],
                ["", "병합", "", "TRUE"]]
    print(json.dumps({"sheets": ["자료", "두번째"], "rows": expected}, ensure_ascii=False))


if __name__ == "__main__":
    {"edit": lambda: edit(sys.argv[2], sys.argv[3]), "facts": lambda: facts(sys.argv[2]), "hostile": lambda: hostile(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 40000)}[sys.argv[1]]()
