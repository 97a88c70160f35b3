#!/usr/bin/env python3
# SPDX-License-Identifier: LicenseRef-Kestrom
# Reads an XLSX workbook with openpyxl, an XLSX reader of its own, and prints
# what the tests look at as one JSON object: the first sheet's settings,
# merged ranges, columns, rows and every cell with its value and format.
# "python3 xlsx_dump.py --check" only tells whether openpyxl is there.
import datetime
import json
import sys

try:
    import openpyxl
    from openpyxl.utils import get_column_letter
except ImportError:
    sys.exit(3)

if len(sys.argv) == 2 and sys.argv[1] == "--check":
    sys.exit(0)

# libxlsxwriter stores a column width w as w plus the cell padding.
PADDING = 0.7109375


def value_of(v):
    if isinstance(v, (datetime.datetime, datetime.date, datetime.time)):
        return v.isoformat()
    return v


wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
p = wb.properties
out = {
    "sheets": wb.sheetnames,
    "freeze": ws.freeze_panes,
    "merged": sorted(str(r) for r in ws.merged_cells.ranges),
    "showZeros": ws.sheet_view.showZeros,
    "zoom": ws.sheet_view.zoomScale,
    "orientation": ws.page_setup.orientation,
    "paper": ws.page_setup.paperSize,
    "margins": [round(x, 4) for x in (ws.page_margins.left, ws.page_margins.right,
                                      ws.page_margins.top, ws.page_margins.bottom)],
    "summaryBelow": ws.sheet_properties.outlinePr.summaryBelow if ws.sheet_properties.outlinePr else None,
    "summaryRight": ws.sheet_properties.outlinePr.summaryRight if ws.sheet_properties.outlinePr else None,
    "props": {"title": p.title, "subject": p.subject, "keywords": p.keywords, "category": p.category,
              "description": p.description, "creator": p.creator,
              "created": value_of(p.created)},
    "maxRow": ws.max_row,
    "columns": {},
    "rows": {},
    "cells": {},
}
for key, d in ws.column_dimensions.items():
    if d.width:
        for c in range(d.min or 1, (d.max or d.min or 1) + 1):
            out["columns"][str(c)] = {"width": round(d.width - PADDING, 2), "level": d.outlineLevel or 0,
                                      "letter": get_column_letter(c)}
for r, d in ws.row_dimensions.items():
    out["rows"][str(r)] = {"height": d.ht, "level": d.outlineLevel or 0}
for row in ws.iter_rows():
    for cell in row:
        if cell.value is None and not cell.has_style:
            continue
        f = cell.font
        a = cell.alignment
        b = cell.border
        out["cells"][cell.coordinate] = {
            "v": value_of(cell.value),
            "t": cell.data_type,
            "fmt": cell.number_format,
            "bold": bool(f.b),
            "size": f.sz,
            "wrap": bool(a.wrap_text),
            "h": a.horizontal,
            "va": a.vertical,
            "left": b.left.style,
            "bottom": b.bottom.style,
        }
json.dump(out, sys.stdout, ensure_ascii=False, sort_keys=True)
