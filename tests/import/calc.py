#!/usr/bin/python3
"""The import tests' workbooks, opened, edited and saved by LibreOffice Calc itself.

Reads a list of jobs as JSON on stdin and does them all in one headless soffice, started with
a profile of its own and ended afterwards, also when a job fails. Prints one answer per job as
JSON. A saved file's format is its name's ending (.xls, .xlsx, .ods, .csv).

  ["convert", IN, [OUT...]]            saves IN as each OUT; answers null
  ["edit", IN, [OUT...]]               changes three handsets, adds two and one the import must
                                       refuse, through the cells; answers the catalogue the import
                                       should leave (one line per handset, columns joined by '|',
                                       ordered by management number)
  ["protect", IN, [OUT...], PASSWORD]  saves IN as each OUT, encrypted with PASSWORD; answers null
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import NamedValue, PropertyValue
from com.sun.star.connection import NoConnectException

FIELDS = ["관리번호", "ID", "출시년도", "제조회사", "여는방식", "안테나형태", "모델명", "SAR값", "애칭"]
FILTERS = {".xls": "MS Excel 97", ".xlsx": "Calc MS Excel 2007 XML", ".ods": "calc8",
           ".csv": "Text - txt - csv (StarCalc)"}
# Comma, double quotes, UTF-8 (76), from the first line, no column formats, no language, a
# quoted field kept as text ("000001" stays so).
CSV_OPTIONS = "44,34,76,1,,0,true"
CELL_VALUE, CELL_TEXT = 1, 2  # com.sun.star.table.CellContentType
CLEAR_CONTENTS = 1 | 2 | 4 | 16  # values, dates, strings, formulas


def props(**kw):
    out = []
    for name, value in kw.items():
        p = PropertyValue()
        p.Name, p.Value = name, value
        out.append(p)
    return tuple(out)


def url(path):
    return uno.systemPathToFileUrl(os.path.abspath(path))


def filter_of(path):
    ext = os.path.splitext(path)[1].lower()
    if ext not in FILTERS:
        raise ValueError("no filter for " + path)
    return ext, FILTERS[ext]


class Office:
    """One soffice on a pipe of its own; closed (killed if need be) on leaving."""

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="calc-profile-")
        pipe = "calc%d" % os.getpid()
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.profile, "LANG": "C.UTF-8"}
        self.process = subprocess.Popen(
            ["soffice", "-env:UserInstallation=" + url(self.profile), "--headless", "--invisible", "--nologo",
             "--norestore", "--nodefault", "--accept=pipe,name=%s;urp;" % pipe],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            local = uno.getComponentContext()
            resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
            deadline = time.monotonic() + 60
            while True:
                try:
                    ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                    break
                except NoConnectException:
                    if self.process.poll() is not None or time.monotonic() > deadline:
                        raise
                    time.sleep(0.1)
            self.desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        try:
            if getattr(self, "desktop", None) is not None:
                self.desktop.terminate()
            self.process.wait(timeout=20)
        except Exception:
            pass
        try:  # whatever of it is left, also a process it started
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def load(self, path):
        ext, name = filter_of(path)
        args = dict(Hidden=True, FilterName=name)
        if ext == ".csv":
            args["FilterOptions"] = CSV_OPTIONS
        doc = self.desktop.loadComponentFromURL(url(path), "_blank", 0, props(**args))
        if doc is None:
            raise RuntimeError("LibreOffice did not open " + path)
        return doc


def store(doc, path, password=None):
    ext, name = filter_of(path)
    args = dict(FilterName=name, Overwrite=True)
    if ext == ".csv":
        args["FilterOptions"] = CSV_OPTIONS
    if password and ext == ".xlsx":
        # Office Open XML takes its key as encryption data; this build writes the standard
        # encryption (the agile one fails to store).
        keys = (NamedValue("OOXPassword", password), NamedValue("CryptoType", "Standard"))
        args["EncryptionData"] = uno.Any("[]com.sun.star.beans.NamedValue", keys)
    elif password:
        args["Password"] = password
    uno.invoke(doc, "storeToURL", (url(path), props(**args)))


def text_of(cell):
    kind = cell.getType().value
    if kind == "VALUE":
        v = cell.getValue()
        return str(int(v)) if v.is_integer() else repr(v)
    return cell.getString()


def edit(doc):
    sheet = doc.Sheets.getByIndex(0)
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    last_row, last_col = cursor.RangeAddress.EndRow, cursor.RangeAddress.EndColumn
    header = [sheet.getCellByPosition(c, 0).getString() for c in range(last_col + 1)]
    col = {name: header.index(name) for name in FIELDS}

    def cell(row, name):
        return sheet.getCellByPosition(col[name], row)

    rows = [{name: text_of(cell(r, name)) for name in FIELDS} for r in range(1, last_row + 1)]
    # Three changes: one field, two fields, a field emptied.
    cell(1, "모델명").setString("애니콜 W270 골드")
    rows[0]["모델명"] = "애니콜 W270 골드"
    cell(2, "애칭").setString("새 별명")
    cell(2, "제조회사").setString("삼성")
    rows[1].update({"애칭": "새 별명", "제조회사": "삼성"})
    sheet.getCellRangeByPosition(col["SAR값"], 4, col["SAR값"], 4).clearContents(CLEAR_CONTENTS)
    rows[3]["SAR값"] = ""
    last = max(int(r["관리번호"]) for r in rows)
    added = [["", "NEW-1", 2024, "새회사", "바", "내장형", "새폰 하나", 0.5, "하나"],
             ["", "NEW-2", 2025, "새회사", "폴더", "외장형", "새폰 둘", "", ""]]
    # Refused: a release year that is no number.
    refused = ["", "BAD-1", "이천년", "", "", "", "", "", ""]
    for i, values in enumerate(added + [refused]):
        for name, v in zip(FIELDS, values):
            target = cell(last_row + 1 + i, name)
            target.setValue(v) if isinstance(v, (int, float)) else target.setString(v)
        if values is not refused:
            shown = {name: (str(v) if isinstance(v, (int, float)) else v) for name, v in zip(FIELDS, values)}
            rows.append(dict(shown, 관리번호="%06d" % (last + 1 + i)))
    return ["|".join(r[name] for name in FIELDS) for r in sorted(rows, key=lambda r: r["관리번호"])]


def run(office, job):
    kind, src, outs = job[0], job[1], job[2]
    doc = office.load(src)
    try:
        answer = edit(doc) if kind == "edit" else None
        for out in outs:
            store(doc, out, job[3] if kind == "protect" else None)
        return answer
    finally:
        doc.close(True)


def main():
    # Ended by the test (its time-out): the office is ended too, on the way out of the with.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    jobs = json.load(sys.stdin)
    with Office() as office:
        answers = [run(office, job) for job in jobs]
    json.dump(answers, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
