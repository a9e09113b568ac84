// Table editing in the note page, run before qbDhtmlEdit.js in the same world. Every command
// builds the changed table on a copy and puts it in the original's place with one insertHTML,
// so the engine's undo takes the whole command back in one step, and what lands in the note is
// plain markup: rows, cells, colspan and rowspan, with the attributes the cells already had.
var qbTables = (function () {
    "use strict";

    function cellOf(node) {
        for (; node && node !== document.body; node = node.parentNode)
            if (node.nodeType === Node.ELEMENT_NODE && /^(TD|TH)$/.test(node.nodeName))
                return node;
        return null;
    }

    function tableOf(cell) {
        for (var node = cell.parentNode; node; node = node.parentNode)
            if (node.nodeName === "TABLE")
                return node;
        return null;
    }

    function editing() {
        return document.designMode === "on";
    }

    // The cells at the selection's two ends, the second only when it is in the same table.
    function selectedCells() {
        var sel = window.getSelection();
        if (!sel.rangeCount)
            return null;
        var anchor = cellOf(sel.anchorNode);
        var table = anchor && tableOf(anchor);
        if (!table || !document.body.contains(table))
            return null;
        var focus = cellOf(sel.focusNode);
        if (!focus || tableOf(focus) !== table)
            focus = anchor;
        return { table: table, anchor: anchor, focus: focus };
    }

    // Which grid places each cell covers: rows down, columns across, spans followed.
    function layout(table) {
        var rows = Array.prototype.slice.call(table.rows);
        var grid = rows.map(function () { return []; });
        var place = new Map();
        var width = 0;
        rows.forEach(function (row, r) {
            var c = 0;
            Array.prototype.forEach.call(row.cells, function (cell) {
                while (grid[r][c])
                    ++c;
                var down = cell.rowSpan > 0 ? Math.min(cell.rowSpan, rows.length - r)
                                            : rows.length - r;
                var across = Math.max(1, cell.colSpan);
                place.set(cell, { r: r, c: c, down: down, across: across });
                for (var i = 0; i < down; ++i)
                    for (var j = 0; j < across; ++j)
                        grid[r + i][c + j] = cell;
                c += across;
                width = Math.max(width, c);
            });
        });
        return { rows: rows, grid: grid, place: place, width: width };
    }

    // The smallest block of whole cells holding both ends.
    function block(map, first, second) {
        var a = map.place.get(first), b = map.place.get(second);
        var box = { top: Math.min(a.r, b.r), left: Math.min(a.c, b.c),
                    bottom: Math.max(a.r + a.down, b.r + b.down) - 1,
                    right: Math.max(a.c + a.across, b.c + b.across) - 1 };
        for (var grown = true; grown;) {
            grown = false;
            for (var r = box.top; r <= box.bottom; ++r) {
                for (var c = box.left; c <= box.right; ++c) {
                    var cell = map.grid[r][c];
                    if (!cell)
                        continue;
                    var p = map.place.get(cell);
                    var top = Math.min(box.top, p.r), left = Math.min(box.left, p.c);
                    var bottom = Math.max(box.bottom, p.r + p.down - 1);
                    var right = Math.max(box.right, p.c + p.across - 1);
                    if (top !== box.top || left !== box.left || bottom !== box.bottom ||
                        right !== box.right) {
                        box = { top: top, left: left, bottom: bottom, right: right };
                        grown = true;
                    }
                }
            }
        }
        return box;
    }

    function cellsIn(map, box) {
        var found = [];
        for (var r = box.top; r <= box.bottom; ++r)
            for (var c = box.left; c <= box.right; ++c) {
                var cell = map.grid[r][c];
                if (cell && found.indexOf(cell) < 0)
                    found.push(cell);
            }
        return found;
    }

    function setSpan(cell, name, value) {
        if (value > 1)
            cell.setAttribute(name, value);
        else
            cell.removeAttribute(name);
    }

    // An empty cell like the given one: its look, not its spans, name or content.
    function emptyLike(cell, tag) {
        var made = document.createElement(tag || cell.localName);
        for (var i = 0; i < cell.attributes.length; ++i) {
            var name = cell.attributes[i].name;
            if (!/^(rowspan|colspan|id)$/i.test(name))
                made.setAttribute(name, cell.attributes[i].value);
        }
        made.appendChild(document.createElement("br"));
        return made;
    }

    // Puts the cell in its row at grid column c, before the cells that start after it.
    function putInRow(map, row, cell, c) {
        var before = Array.prototype.find.call(row.cells, function (other) {
            var p = map.place.get(other);
            return p && p.c >= c;
        });
        row.insertBefore(cell, before || null);
    }

    function isEmptyCell(cell) {
        return !cell.textContent.trim() && !cell.querySelector("img, table, hr, input");
    }

    // Rows left without a cell of their own and columns no cell starts in are folded into the
    // spans over them, so that the table says each thing once.
    function tidy(table) {
        for (;;) {
            var map = layout(table);
            var empty = map.rows.findIndex(function (row) { return row.cells.length === 0; });
            if (empty >= 0) {
                var over = [];
                map.grid[empty].forEach(function (cell) {
                    if (over.indexOf(cell) < 0)
                        over.push(cell);
                });
                over.forEach(function (cell) { setSpan(cell, "rowspan", cell.rowSpan - 1); });
                map.rows[empty].remove();
                continue;
            }
            var starts = new Set();
            map.place.forEach(function (p) { starts.add(p.c); });
            var column = -1;
            for (var c = 0; c < map.width && column < 0; ++c)
                if (!starts.has(c))
                    column = c;
            var spanning = new Set();
            map.grid.forEach(function (line) {
                if (line[column])
                    spanning.add(line[column]);
            });
            if (!spanning.size)
                break;
            spanning.forEach(function (cell) { setSpan(cell, "colspan", cell.colSpan - 1); });
        }
        Array.prototype.slice.call(table.querySelectorAll(":scope > thead, :scope > tbody, :scope > tfoot"))
            .forEach(function (section) {
                if (!section.rows.length)
                    section.remove();
            });
    }

    function twin(copy, cell) {
        return copy.rows[cell.parentNode.rowIndex].cells[cell.cellIndex];
    }

    function caretInto(cell) {
        var range = document.createRange();
        range.selectNodeContents(cell);
        range.collapse(true);
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
    }

    function tableIndex(table) {
        return Array.prototype.indexOf.call(document.getElementsByTagName("table"), table);
    }

    // Replaces the table with its changed copy in one step the engine can undo, then puts the
    // caret at the grid place given (clamped to what is left). A copy with no rows takes the
    // table away.
    function replace(table, copy, row, column) {
        var index = tableIndex(table);
        var range = document.createRange();
        range.selectNode(table);
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
        if (!copy.rows.length)
            return document.execCommand("delete", false, null);
        if (!document.execCommand("insertHTML", false, copy.outerHTML))
            return false;
        var made = document.getElementsByTagName("table")[index];
        if (made) {
            var map = layout(made);
            var line = map.grid[Math.min(row, map.grid.length - 1)] || [];
            var cell = line[Math.min(column, line.length - 1)];
            if (cell)
                caretInto(cell);
        }
        return true;
    }

    // Runs a change on a copy of the table the caret is in; false when it is in none.
    function change(edit) {
        if (!editing())
            return false;
        var at = selectedCells();
        if (!at)
            return false;
        var copy = at.table.cloneNode(true);
        var map = layout(copy);
        var box = block(map, twin(copy, at.anchor), twin(copy, at.focus));
        var caret = edit(copy, map, box);
        if (!caret)
            return false;
        return replace(at.table, copy, caret.r, caret.c);
    }

    function insertRow(copy, map, box, below) {
        var k = below ? box.bottom + 1 : box.top;
        var ref = map.rows[below ? box.bottom : box.top];
        var header = Array.prototype.every.call(ref.cells, function (cell) {
            return cell.nodeName === "TH";
        });
        var row = ref.cloneNode(false);
        row.removeAttribute("id");
        var line = map.grid[below ? box.bottom : box.top];
        var grown = new Set();
        for (var c = 0; c < line.length; ++c) {
            var cell = line[c];
            if (!cell)
                continue;
            var p = map.place.get(cell);
            // A cell over the new row's place grows into it.
            if (p.r < k && p.r + p.down > k) {
                if (!grown.has(cell))
                    setSpan(cell, "rowspan", p.down + 1);
                grown.add(cell);
                continue;
            }
            row.appendChild(emptyLike(cell, below && header ? "td" : cell.localName));
        }
        if (k < map.rows.length)
            map.rows[k].parentNode.insertBefore(row, map.rows[k]);
        else
            ref.parentNode.appendChild(row);
        return { r: k, c: 0 };
    }

    function insertColumn(copy, map, box, right) {
        var k = right ? box.right + 1 : box.left;
        var made = [];
        map.grid.forEach(function (line, r) {
            var crossing = k > 0 && line[k] && line[k] === line[k - 1];
            var ref = right ? line[k - 1] : line[k];
            if (!ref)
                return;
            var p = map.place.get(ref);
            if (crossing) {
                if (p.r === r)
                    setSpan(ref, "colspan", p.across + 1);
                return;
            }
            if (p.r !== r)
                return;
            var cell = emptyLike(ref);
            setSpan(cell, "rowspan", p.down);
            made.push({ row: map.rows[r], cell: cell });
        });
        made.forEach(function (m) { putInRow(map, m.row, m.cell, k); });
        return { r: box.top, c: k };
    }

    function deleteRows(copy, map, box) {
        var gone = box.bottom - box.top + 1;
        map.place.forEach(function (p, cell) {
            var end = p.r + p.down - 1;
            if (end < box.top || p.r > box.bottom)
                return;
            if (p.r < box.top) {
                setSpan(cell, "rowspan", p.down - (Math.min(end, box.bottom) - box.top + 1));
            } else if (end > box.bottom) {
                // It starts in a row that goes and reaches past it: it moves down with what is left.
                setSpan(cell, "rowspan", end - box.bottom);
                putInRow(map, map.rows[box.bottom + 1], cell, p.c);
            }
        });
        for (var r = box.top; r <= box.bottom; ++r)
            map.rows[r].remove();
        tidy(copy);
        return { r: Math.max(0, Math.min(box.top, map.rows.length - gone - 1)), c: box.left };
    }

    function deleteColumns(copy, map, box) {
        if (box.left === 0 && box.right >= map.width - 1) {
            map.rows.forEach(function (row) { row.remove(); });
            return { r: 0, c: 0 };
        }
        map.place.forEach(function (p, cell) {
            var end = p.c + p.across - 1;
            if (end < box.left || p.c > box.right)
                return;
            var kept = p.across - (Math.min(end, box.right) - Math.max(p.c, box.left) + 1);
            if (kept > 0)
                setSpan(cell, "colspan", kept);
            else
                cell.remove();
        });
        tidy(copy);
        return { r: box.top, c: Math.max(0, Math.min(box.left, layout(copy).width - 1)) };
    }

    function mergeCells(copy, map, box) {
        var cells = cellsIn(map, box);
        var target = map.grid[box.top][box.left];
        // A row too short to reach the block's corner leaves nothing to merge into.
        if (cells.length < 2 || !target)
            return null;
        cells.forEach(function (cell) {
            if (cell === target)
                return;
            if (!isEmptyCell(cell)) {
                if (isEmptyCell(target))
                    target.textContent = "";
                else
                    target.appendChild(document.createElement("br"));
                while (cell.firstChild)
                    target.appendChild(cell.firstChild);
            }
            cell.remove();
        });
        setSpan(target, "colspan", box.right - box.left + 1);
        setSpan(target, "rowspan", box.bottom - box.top + 1);
        tidy(copy);
        return { r: map.place.get(target).r, c: map.place.get(target).c };
    }

    function splitCell(copy, map, box) {
        var target = map.grid[box.top][box.left];
        var p = map.place.get(target);
        if (p.down === 1 && p.across === 1)
            return null;
        for (var i = 0; i < p.down; ++i) {
            var row = map.rows[p.r + i];
            var cells = [];
            for (var j = i === 0 ? 1 : 0; j < p.across; ++j)
                cells.push(emptyLike(target));
            var before = i === 0 ? target.nextSibling
                : Array.prototype.find.call(row.cells, function (other) {
                    return map.place.get(other).c > p.c;
                });
            cells.forEach(function (cell) { row.insertBefore(cell, before || null); });
        }
        setSpan(target, "colspan", 1);
        setSpan(target, "rowspan", 1);
        return { r: p.r, c: p.c };
    }

    function tableHtml(rows, columns, header) {
        var html = '<table border="1" cellspacing="0" cellpadding="4"><tbody>';
        for (var r = 0; r < rows; ++r) {
            var tag = header && r === 0 ? "th" : "td";
            html += "<tr>" + new Array(columns + 1).join("<" + tag + "><br></" + tag + ">") + "</tr>";
        }
        return html + "</tbody></table>";
    }

    function insertTable(rows, columns, header) {
        if (!editing() || !(rows >= 1 && columns >= 1))
            return false;
        var sel = window.getSelection();
        var at = sel.rangeCount ? sel.getRangeAt(0) : null;
        if (!at || !document.body.contains(at.startContainer))
            return false;
        // The new table is the first to start after the caret's place.
        var before = Array.prototype.filter.call(document.getElementsByTagName("table"),
            function (table) {
                return at.comparePoint(table, 0) < 0;
            }).length;
        if (!document.execCommand("insertHTML", false, tableHtml(rows, columns, header)))
            return false;
        var made = document.getElementsByTagName("table")[before];
        if (made && made.rows.length)
            caretInto(made.rows[0].cells[0]);
        return true;
    }

    // Tab goes to the next cell and Shift+Tab back; Tab in the last cell adds a row.
    function onKey(event) {
        if (event.key !== "Tab" || event.ctrlKey || event.altKey || event.metaKey || !editing() ||
            event.isComposing)
            return;
        var sel = window.getSelection();
        var cell = sel.rangeCount ? cellOf(sel.focusNode) : null;
        var table = cell && tableOf(cell);
        if (!table)
            return;
        event.preventDefault();
        var cells = [];
        Array.prototype.forEach.call(table.rows, function (row) {
            Array.prototype.push.apply(cells, row.cells);
        });
        var next = cells[cells.indexOf(cell) + (event.shiftKey ? -1 : 1)];
        if (next) {
            caretInto(next);
        } else if (!event.shiftKey) {
            var copy = table.cloneNode(true);
            var map = layout(copy);
            var last = map.rows.length - 1;
            var caret = insertRow(copy, map, { top: last, bottom: last, left: 0, right: 0 }, true);
            replace(table, copy, caret.r, caret.c);
        }
    }
    document.addEventListener("keydown", onKey, true);

    // A column's width is set by dragging its right border: while the mouse moves the column is
    // shown at its new width, and the release writes it as the width of the column's cells, one
    // step of the undo. The cursor over a border comes from a sheet of the document's, never from
    // its markup.
    var borderSlack = 4;
    var cursorSheet = null;
    var cursorShown = false;
    var drag = null;

    function showResizeCursor(on) {
        if (on === cursorShown || typeof CSSStyleSheet === "undefined")
            return;
        cursorShown = on;
        if (!cursorSheet)
            cursorSheet = new CSSStyleSheet();
        // A big page sets the document's sheets once it has come: this one is added again.
        if (document.adoptedStyleSheets.indexOf(cursorSheet) < 0)
            document.adoptedStyleSheets = document.adoptedStyleSheets.concat([cursorSheet]);
        cursorSheet.replaceSync(on ? "* { cursor: col-resize !important; }" : "");
    }

    // The cell whose right border is under the pointer, with the grid column that border ends.
    function borderAt(event) {
        var cell = cellOf(event.target);
        var table = cell && tableOf(cell);
        if (!table || Math.abs(cell.getBoundingClientRect().right - event.clientX) > borderSlack)
            return null;
        var map = layout(table);
        var p = map.place.get(cell);
        var column = p.c + p.across - 1;
        var cells = [];
        map.place.forEach(function (q, other) {
            if (q.c === column && q.across === 1)
                cells.push(other);
        });
        return cells.length ? { table: table, cells: cells, left: cells[0].getBoundingClientRect().left }
                            : null;
    }

    function widthAt(x) {
        return Math.max(2 * borderSlack, Math.round(x - drag.left));
    }

    function endDrag(x) {
        var width = String(widthAt(x));
        var done = drag;
        drag = null;
        showResizeCursor(false);
        if (!done.moved)
            return;
        // The page as it was, so that the one step the engine records holds the whole change.
        done.cells.forEach(function (cell, i) {
            if (done.styles[i] === null)
                cell.removeAttribute("style");
            else
                cell.setAttribute("style", done.styles[i]);
        });
        var copy = done.table.cloneNode(true);
        done.cells.forEach(function (cell) {
            var made = twin(copy, cell);
            made.setAttribute("width", width);
            // A width of the cell's own style would hide the attribute's.
            if (made.style.width)
                made.style.width = width + "px";
        });
        var first = layout(done.table).place.get(done.cells[0]);
        replace(done.table, copy, first.r, first.c);
    }

    function listenForColumnDrags() {
        document.addEventListener("mousemove", function (event) {
            if (drag) {
                event.preventDefault();
                if (!(event.buttons & 1)) {
                    endDrag(event.clientX);
                    return;
                }
                drag.moved = drag.moved || event.clientX !== drag.startX;
                // Through the attribute, not the style object: the engine would write an emptied
                // style object back as style="" even after the attribute was removed.
                if (drag.moved) {
                    var width = "width: " + widthAt(event.clientX) + "px";
                    drag.cells.forEach(function (cell, i) {
                        var style = drag.styles[i];
                        cell.setAttribute("style", style ? style + "; " + width : width);
                    });
                }
                return;
            }
            showResizeCursor(editing() && !!borderAt(event));
        }, true);
        document.addEventListener("mousedown", function (event) {
            if (event.button !== 0 || !editing())
                return;
            var border = borderAt(event);
            if (!border)
                return;
            event.preventDefault();
            event.stopPropagation();
            drag = border;
            drag.startX = event.clientX;
            drag.moved = false;
            drag.styles = border.cells.map(function (cell) { return cell.getAttribute("style"); });
        }, true);
        document.addEventListener("mouseup", function (event) {
            if (!drag)
                return;
            event.preventDefault();
            drag.moved = drag.moved || event.clientX !== drag.startX;
            var clicked = !drag.moved;
            endDrag(event.clientX);
            // A click on a border without a drag is a click at the end of the cell's text: the
            // caret goes there, as anywhere else.
            var range = clicked && document.caretRangeFromPoint
                            ? document.caretRangeFromPoint(event.clientX, event.clientY) : null;
            if (range) {
                var selection = window.getSelection();
                selection.removeAllRanges();
                selection.addRange(range);
            }
        }, true);
    }
    listenForColumnDrags();

    return {
        // What the table commands may do at the selection; cheap enough for every report.
        state: function () {
            var at = editing() ? selectedCells() : null;
            return {
                inTable: !!at,
                canMerge: !!at && at.anchor !== at.focus,
                canSplit: !!at && (at.anchor.rowSpan !== 1 || at.anchor.colSpan > 1)
            };
        },
        commands: {
            insertTable: insertTable,
            insertRow: function (below) {
                return change(function (copy, map, box) { return insertRow(copy, map, box, below); });
            },
            insertColumn: function (right) {
                return change(function (copy, map, box) {
                    return insertColumn(copy, map, box, right);
                });
            },
            deleteRows: function () { return change(deleteRows); },
            deleteColumns: function () { return change(deleteColumns); },
            mergeCells: function () { return change(mergeCells); },
            splitCell: function () { return change(splitCell); }
        }
    };
})();
