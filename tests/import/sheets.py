#!/usr/bin/python3
"""Spreadsheet files for the import tests that LibreOffice cannot make, made with openpyxl,
and what a file holds as openpyxl sees it (calc.py makes the rest).

facts IN.xlsx           prints what the export must keep: rows, whether the header row is bold
                        and whether every management number is a text cell
hostile OUT.xlsx [N]    a workbook of awkward cells, one text N characters long (40,000);
                        prints the texts a reader should give
"""
import json
import sys

import openpyxl


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
    header = ["관리번호", "ID", "출시년도", "모델명", "애칭"]
    ws.append(header)
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
    expected = [header,
                ["000001", "A-1", "2008", "갤럭시, \"S\"", ""],
                ["000002", "A-2", "2004-01-01", long_text[:32767], "0.982"],
                ["", "병합", "", "TRUE"]]
    print(json.dumps({"sheets": ["자료", "두번째"], "rows": expected}, ensure_ascii=False))


if __name__ == "__main__":
    {"facts": lambda: facts(sys.argv[2]), "hostile": lambda: hostile(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 40000)}[sys.argv[1]]()
