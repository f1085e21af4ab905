#!/usr/bin/env python3
# An .xls file as python3-xlrd (a reader independent of the program) sees it, as JSON:
#   xls_read.py FILE [FORMAT_ROWS [WALK]]
# Per sheet: name, ncols, rows (a text cell's value, null for empty, ["type", n] otherwise),
# text (every cell's value as text), bold, textRows (every non-empty cell of the row is
# text), fmt (bold, weight, alignments, font name and height of the first FORMAT_ROWS rows),
# widths. "log" is what xlrd complained of. With WALK 1, "problems": the Workbook stream's
# records checked against the offsets they store.
#   xls_read.py --streams FILE...
# For each compound file: the SHA-1 and length of its Workbook stream and what xlrd's
# compound-document reader complained of, one line a file.
import sys, io, json, struct, hashlib, xlrd
from xlrd import compdoc

if sys.argv[1] == '--streams':
    for name in sys.argv[2:]:
        complaints = io.StringIO()
        stream = compdoc.CompDoc(open(name, 'rb').read(), logfile=complaints).get_named_stream('Workbook')
        print(hashlib.sha1(stream).hexdigest(), len(stream), repr(complaints.getvalue()))
    sys.exit(0)
path = sys.argv[1]
fmt_rows = int(sys.argv[2]) if len(sys.argv) > 2 else 0
walk = len(sys.argv) > 3 and sys.argv[3] == '1'
log = io.StringIO()
book = xlrd.open_workbook(path, formatting_info=True, logfile=log)
out = {'log': log.getvalue(), 'sheets': [], 'problems': []}
for sh in book.sheets():
    rows, fmt, text, bold, text_rows = [], [], [], [], []
    for r in range(sh.nrows):
        cells = [sh.cell(r, c) for c in range(sh.ncols)]
        xfs = [book.xf_list[sh.cell_xf_index(r, c)] for c in range(sh.ncols)]
        rows.append([x.value if x.ctype == xlrd.XL_CELL_TEXT else None if x.ctype == xlrd.XL_CELL_EMPTY
                     else ['type', x.ctype] for x in cells])
        text.append([str(x.value) for x in cells])
        bold.append([bool(book.font_list[xf.font_index].bold) for xf in xfs])
        text_rows.append(all(x.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) for x in cells))
        if r < fmt_rows:
            f = []
            for x, xf in zip(cells, xfs):
                fn = book.font_list[xf.font_index]
                f.append([fn.bold, fn.weight, xf.alignment.hor_align, xf.alignment.vert_align, fn.name, fn.height]
                         if x.ctype != xlrd.XL_CELL_EMPTY else None)
            fmt.append(f)
    out['sheets'].append({'name': sh.name, 'ncols': sh.ncols, 'rows': rows, 'fmt': fmt, 'text': text, 'bold': bold,
                          'textRows': text_rows,
                          'widths': [sh.colinfo_map[c].width if c in sh.colinfo_map else None for c in range(sh.ncols)]})

def walk_records():
    bad = out['problems'].append
    cdlog = io.StringIO()
    wb = compdoc.CompDoc(open(path, 'rb').read(), logfile=cdlog).get_named_stream('Workbook')
    if cdlog.getvalue(): bad(cdlog.getvalue())
    u = struct.unpack_from
    recs, at, p = [], {}, 0
    while p + 4 <= len(wb):
        t, n = u('<HH', wb, p)
        if t == 0:
            if any(wb[p:]): bad('junk at %d' % p)
            break
        if n > 8224: bad('record %x at %d too long' % (t, p))
        recs.append((p, t, wb[p + 4:p + 4 + n])); at[p] = recs[-1]; p += 4 + n
    i = next(k for k, r in enumerate(recs) if r[1] == 0xFC)
    chunks = [recs[i]]
    while recs[i + len(chunks)][1] == 0x3C: chunks.append(recs[i + len(chunks)])
    total, unique = u('<II', chunks[0][2])
    k, o, starts = 0, 8, []
    for s in range(unique):
        if o == len(chunks[k][2]): k, o = k + 1, 0
        if o + 3 > len(chunks[k][2]): bad('string %d: header split' % s); break
        starts.append((chunks[k][0] + 4 + o, chunks[k][0]))
        cch, flags = u('<HB', chunks[k][2], o); o += 3
        while True:
            w = 2 if flags & 1 else 1
            take = min(cch, (len(chunks[k][2]) - o) // w); cch -= take; o += take * w
            if not cch: break
            if o != len(chunks[k][2]): bad('string %d: character split' % s)
            k += 1; flags = chunks[k][2][0]; o = 1
    if k != len(chunks) - 1 or o != len(chunks[k][2]): bad('SST size')
    e = next(r for r in recs if r[1] == 0xFF)[2]
    dsst = u('<H', e)[0]
    if (len(e) - 2) // 8 != -(-unique // dsst): bad('ExtSST bucket count')
    for b in range((len(e) - 2) // 8):
        ib, cb = u('<IH', e, 2 + 8 * b)
        if starts[b * dsst] != (ib, ib - cb): bad('ExtSST bucket %d' % b)
    ncells = 0
    for _, t, d in [r for r in recs if r[1] == 0x85]:
        off = u('<I', d)[0]
        if off not in at or at[off][1] != 0x809 or u('<H', at[off][2], 2)[0] != 0x10: bad('BoundSheet %d' % off); continue
        j = recs.index(at[off]); cells, rows, dbcells, index, dims, defcol = [], {}, [], b'', None, None
        while recs[j][1] != 0x0A:
            p, t, d = recs[j]; j += 1
            if t == 0xFD:
                cells.append((u('<HH', d), p))
                if u('<I', d, 6)[0] >= unique: bad('string index')
            elif t == 0x208: rows[u('<H', d)[0]] = u('<HH', d, 2)
            elif t == 0xD7: dbcells.append(p)
            elif t == 0x20B: index = d
            elif t == 0x200: dims = u('<IIHH', d)
            elif t == 0x55: defcol = p
        ncells += len(cells)
        rc = [c for c, _ in cells]
        if rc != sorted(rc): bad('cells out of order')
        first = {}
        for (r, c), p in cells: first.setdefault(r, p)
        span = {}
        for r, c in rc: lo, hi = span.get(r, (c, c + 1)); span[r] = (min(lo, c), max(hi, c + 1))
        if rows != span: bad('Row records')
        want = (min(first), max(first) + 1, min(c for _, c in rc), max(c for _, c in rc) + 1) if cells else (0, 0, 0, 0)
        if dims != want: bad('Dimensions %s, cells %s' % (dims, want))
        if u('<III', index, 4) != (want[0], want[1], defcol): bad('Index')
        if list(u('<%dI' % len(dbcells), index, 16)) != dbcells: bad('Index DBCell positions')
        for p in dbcells:
            d = at[p][2]; rowpos = p - u('<I', d)[0]; cur = rowpos + 20
            for n, off in enumerate(u('<%dH' % ((len(d) - 4) // 2), d, 4)):
                cur += off
                if at.get(rowpos + 20 * n, (0, 0))[1] != 0x208 or first.get(u('<H', at[rowpos + 20 * n][2])[0]) != cur:
                    bad('DBCell at %d, row %d' % (p, n))
    if ncells != total: bad('SST total %d, cells %d' % (total, ncells))


if walk:
    walk_records()
json.dump(out, sys.stdout)
