// Runs in the application world of every note page. The page's own scripts are off; this one
// tells the editor about the selection and changes, and carries out the editor's commands.
(function () {
    "use strict";

    var bridge = null;
    // Tells this document from the one that may replace it while the editor is not looking.
    var documentId = Date.now().toString(36) + "-" + Math.random().toString(36).slice(2);

    function query(kind, name) {
        try {
            return document[kind](name);
        } catch (e) {
            return null;
        }
    }

    function snapshot() {
        var sel = window.getSelection();
        return {
            doc: documentId,
            editable: document.designMode === "on",
            bold: query("queryCommandState", "bold"),
            italic: query("queryCommandState", "italic"),
            underline: query("queryCommandState", "underline"),
            justifyLeft: query("queryCommandState", "justifyLeft"),
            justifyCenter: query("queryCommandState", "justifyCenter"),
            justifyRight: query("queryCommandState", "justifyRight"),
            orderedList: query("queryCommandState", "insertOrderedList"),
            unorderedList: query("queryCommandState", "insertUnorderedList"),
            fontName: query("queryCommandValue", "fontName"),
            fontSize: query("queryCommandValue", "fontSize"),
            foreColor: query("queryCommandValue", "foreColor"),
            backColor: query("queryCommandValue", "backColor"),
            hasSelection: !!sel && sel.rangeCount > 0 && !sel.isCollapsed,
            canUndo: query("queryCommandEnabled", "undo"),
            canRedo: query("queryCommandEnabled", "redo"),
            table: typeof qbTables !== "undefined" ? qbTables.state() : null
        };
    }

    function report(kind) {
        if (bridge)
            bridge.report(kind, snapshot());
    }

    // Only what the user does counts as a change: typing, composition, paste, drop, cut,
    // delete and commands all end in an input event. Parsing and layout mutate the page too, but
    // fire none.
    function changed() {
        if (document.designMode === "on")
            report("changed");
    }

    function linkAt(target) {
        for (var node = target; node; node = node.parentNode)
            if (node.nodeType === Node.ELEMENT_NODE && /^(A|AREA)$/.test(node.nodeName) &&
                node.hasAttribute("href"))
                return node;
        return null;
    }

    function withoutFragment(url) {
        var hash = url.indexOf("#");
        return hash < 0 ? url : url.slice(0, hash);
    }

    // The document never navigates: a followed link is reported (in edit mode only with Ctrl),
    // and a link to a place in the page itself just scrolls there.
    function followLink(event) {
        var link = linkAt(event.target);
        if (!link || event.button !== 0)
            return;
        var editing = document.designMode === "on";
        if (editing && !(event.ctrlKey || event.metaKey))
            return;
        event.preventDefault();
        var href = link.href;
        if (link.hash && withoutFragment(href) === withoutFragment(location.href)) {
            var name = decodeURIComponent(link.hash.slice(1));
            var place = document.getElementById(name) || document.getElementsByName(name)[0];
            if (place)
                place.scrollIntoView();
            return;
        }
        if (bridge) {
            var state = snapshot();
            state.href = href;
            bridge.report("link", state);
        }
    }

    // Fonts of other machines ("굴림", "verdana") stand for installed faces of their kind. The
    // faces live in the document's font set, never in its markup: a save does not see them.
    var fontFaces = [];

    function faceSource(family, bold) {
        var names = bold ? [family + " Bold", family + "Bold", family + "-Bold", family] : [family];
        return names.map(function (name) { return "local(" + JSON.stringify(name) + ")"; }).join(", ");
    }

    function addFontAliases() {
        if (typeof qbFontAliases === "undefined" || !document.fonts || typeof FontFace === "undefined")
            return;
        if (fontFaces.length && document.fonts.has(fontFaces[0]))
            return;
        if (!fontFaces.length) {
            qbFontAliases.forEach(function (alias) {
                try {
                    fontFaces.push(new FontFace(alias[0], faceSource(alias[1], false),
                                                { weight: "1 549" }));
                    fontFaces.push(new FontFace(alias[0], faceSource(alias[1], true),
                                                { weight: "550 1000" }));
                } catch (e) {
                    // A name the font set refuses keeps the engine's own choice.
                }
            });
        }
        fontFaces.forEach(function (face) { document.fonts.add(face); });
    }
    addFontAliases();

    // A big page (one that comes from memory at its own address) is laid out once, when it has
    // all come, instead of again and again as it arrives. When its body is a long run of blocks
    // (lines), they are grouped in chunks of our own, and only the chunks in view are laid out.
    // The chunks are the page's view of the document, never part of it: the serialiser writes
    // their content in their place, and the sheets belong to the document, not to its markup.
    var chunkName = "qb-chunk";
    var linesPerChunk = 500;
    var blockNames = /^(ADDRESS|ARTICLE|ASIDE|BLOCKQUOTE|CENTER|DD|DIR|DIV|DL|DT|FIELDSET|FIGURE|FOOTER|FORM|H[1-6]|HEADER|HR|LI|LISTING|MENU|NAV|OL|P|PLAINTEXT|PRE|SECTION|TABLE|UL|XMP)$/;

    function isBlock(node) {
        return node.nodeType === Node.ELEMENT_NODE && blockNames.test(node.nodeName);
    }

    function isBlank(node) {
        return (node.nodeType === Node.TEXT_NODE && !/[^ \t\r\n\f]/.test(node.data)) ||
            node.nodeType === Node.COMMENT_NODE;
    }

    // Groups of at least linesPerChunk nodes, split only at a block's edge, so that no line of
    // inline content is ever cut in two.
    function chunkBody() {
        var body = document.body;
        if (!body || body.childNodes.length < 4 * linesPerChunk)
            return false;
        var groups = [[]];
        var afterBlock = false;
        for (var node = body.firstChild; node; node = node.nextSibling) {
            var group = groups[groups.length - 1];
            if (group.length >= linesPerChunk && (afterBlock || isBlock(node)))
                groups.push(group = []);
            group.push(node);
            if (!isBlank(node))
                afterBlock = isBlock(node);
        }
        if (groups.length < 2)
            return false;
        groups.forEach(function (members) {
            var chunk = document.createElement(chunkName);
            body.insertBefore(chunk, members[0]);
            chunk.append.apply(chunk, members);
        });
        return true;
    }

    // A big <pre> of text alone is one paragraph to the engine, laid out whole at every key: its
    // lines go into chunks too, each cut after a line feed, so the text reads the same.
    function chunkPre(pre) {
        for (var child = pre.firstChild; child; child = child.nextSibling)
            if (child.nodeType !== Node.TEXT_NODE)
                return false;
        pre.normalize();
        var text = pre.firstChild;
        if (!text)
            return false;
        var cuts = [];
        var lines = 0;
        for (var at = text.data.indexOf("\n"); at >= 0; at = text.data.indexOf("\n", at + 1))
            if (++lines % linesPerChunk === 0 && at + 1 < text.data.length)
                cuts.push(at + 1);
        if (lines < 4 * linesPerChunk)
            return false;
        // From the end, so that each split copies one chunk's text, not the rest of the page.
        var pieces = [];
        for (var i = cuts.length - 1; i >= 0; --i)
            pieces.unshift(text.splitText(cuts[i]));
        pieces.unshift(text);
        pieces.forEach(function (piece) {
            var chunk = document.createElement(chunkName);
            pre.insertBefore(chunk, piece);
            chunk.appendChild(piece);
        });
        return true;
    }

    function chunkPres() {
        var chunked = false;
        var pres = document.getElementsByTagName("pre");
        for (var i = 0; i < pres.length; ++i)
            chunked = chunkPre(pres[i]) || chunked;
        return chunked;
    }

    // A table is laid out whole, rows in view or not. In the page's view the rows of a very long
    // one are spread over tables of linesPerChunk rows, each in a chunk, so that only the parts
    // in view are laid out; the parts after the first take its column widths, so that the
    // columns line up. The serialiser writes their rows back into the first part's body. Such a
    // page is shown, not edited (source mode still edits it): its markup is not the view's.
    var maxEditableRows = 4 * linesPerChunk;
    var tooBigToEdit = false;
    var tableRests = new Map(); // a split body -> the bodies holding the rest of its rows
    var restChunks = new WeakSet();
    var viewStyled = new WeakSet(); // chunks whose style is the view's, not the document's

    function rowGroups(body) {
        var groups = [[]];
        var rows = 0;
        for (var node = body.firstChild; node; node = node.nextSibling) {
            if (node.nodeName === "TR" && rows++ > 0 && rows % linesPerChunk === 1)
                groups.push([]);
            groups[groups.length - 1].push(node);
        }
        return groups;
    }

    // The table itself goes in a chunk too, written as its content, so that where it meets its
    // next part can be styled without touching the table's own markup.
    function splitTableBody(table, body) {
        var rests = [];
        var head = table.parentNode;
        if (head.localName !== chunkName || head.childNodes.length !== 1) {
            head = document.createElement(chunkName);
            table.parentNode.insertBefore(head, table);
            head.appendChild(table);
        }
        var anchor = head.nextSibling;
        while (anchor && restChunks.has(anchor))
            anchor = anchor.nextSibling;
        rowGroups(body).slice(1).forEach(function (members) {
            var chunk = document.createElement(chunkName);
            var part = table.cloneNode(false);
            var rest = body.cloneNode(false);
            rest.append.apply(rest, members);
            part.appendChild(rest);
            chunk.appendChild(part);
            head.parentNode.insertBefore(chunk, anchor);
            restChunks.add(chunk);
            rests.push(rest);
        });
        tableRests.set(body, rests);
    }

    function splitHugeTables() {
        var huge = Array.prototype.filter.call(document.getElementsByTagName("table"),
            function (table) { return table.rows.length > maxEditableRows; });
        huge.forEach(function (table) {
            Array.prototype.forEach.call(table.tBodies, function (body) {
                if (body.rows.length > 2 * linesPerChunk)
                    splitTableBody(table, body);
            });
        });
        return huge.length > 0;
    }

    // Where two parts meet there is the gap there is between rows within a part: an upper
    // part has no bottom edge (the sheet hides it, since the first part's own style is the
    // document's), a lower part's top edge is what lies between two of its rows, and the upper
    // part is drawn up over what remains of the difference.
    var joinedBelow = "qb-joined-below";

    function closeJoins(table, body, parts) {
        var uppers = [table].concat(parts.slice(0, -1));
        uppers.forEach(function (upper) {
            viewStyled.add(upper.parentNode);
            upper.parentNode.setAttribute(joinedBelow, "");
        });
        var lastRow = table.rows[table.rows.length - 1];
        var line = lastRow.cells.length ? getComputedStyle(lastRow.cells[0]) : null;
        var collapsed = getComputedStyle(table).borderCollapse === "collapse";
        parts.forEach(function (part) {
            if (collapsed && line)
                part.style.borderTop = line.borderBottomWidth + " " + line.borderBottomStyle + " " +
                    line.borderBottomColor;
            else
                part.style.borderTopStyle = "hidden";
        });
        var box = function (node) { return node.getBoundingClientRect(); };
        var within = box(body.rows[1]).top - box(body.rows[0]).bottom;
        var below = box(table).bottom - box(lastRow).bottom;
        var above = box(parts[0].rows[0]).top - box(parts[0]).top;
        uppers.forEach(function (upper) {
            upper.parentNode.style.marginBottom = within - below - above + "px";
        });
    }

    // Once the first part is laid out: its widths, fixed, for the parts after it.
    function lineUpTableParts() {
        tableRests.forEach(function (rests, body) {
            var table = body.parentNode;
            var widest = Array.prototype.reduce.call(body.rows, function (best, row) {
                return row.cells.length > best.cells.length ? row : best;
            }, body.rows[0]);
            var widths = Array.prototype.map.call(widest.cells, function (cell) {
                return cell.getBoundingClientRect().width;
            });
            var tableWidth = table.getBoundingClientRect().width;
            rests.forEach(function (rest) {
                var part = rest.parentNode;
                var columns = document.createElement("colgroup");
                widths.forEach(function (width) {
                    var column = document.createElement("col");
                    column.style.width = width + "px";
                    columns.appendChild(column);
                });
                part.insertBefore(columns, rest);
                part.style.tableLayout = "fixed";
                part.style.width = tableWidth + "px";
            });
            closeJoins(table, body, rests.map(function (rest) { return rest.parentNode; }));
        });
    }

    function layOutBigPageOnce() {
        if (location.protocol !== "qbpage:" || typeof CSSStyleSheet === "undefined")
            return;
        var hidden = new CSSStyleSheet();
        hidden.replaceSync("html { display: none !important; }");
        var inView = new CSSStyleSheet();
        // The last chunk is always laid out: the end of the document (Ctrl+End) is found only
        // in laid-out content, and would otherwise stop at the start of that chunk.
        inView.replaceSync(chunkName + " { display: block; content-visibility: auto;" +
                           " contain-intrinsic-block-size: auto " + linesPerChunk * 20 + "px; }" +
                           chunkName + ":last-of-type { content-visibility: visible; }" +
                           chunkName + "[" + joinedBelow + "] > table" +
                           " { border-bottom-style: hidden !important; }");
        document.adoptedStyleSheets = [hidden];
        document.addEventListener("DOMContentLoaded", function () {
            tooBigToEdit = splitHugeTables();
            var chunked = chunkBody() || tooBigToEdit;
            chunked = chunkPres() || chunked;
            document.adoptedStyleSheets = chunked ? [inView] : [];
            lineUpTableParts();
        });
    }
    layOutBigPageOnce();

    // A box shows what the note holds, so a click in browse mode leaves it alone. In edit mode
    // a to-do item's box is ticked in its markup, for the save to see, by one editing command
    // in the box's place, so that the engine's undo takes the tick back in one step. The click
    // leaves the box showing its own state, not its markup: a new box takes its place.
    function tickBox(event) {
        var box = event.target;
        if (event.button !== 0 || !box || box.nodeName !== "INPUT" ||
            String(box.type).toLowerCase() !== "checkbox")
            return;
        event.preventDefault();
        if (document.designMode !== "on")
            return;
        var ticked = box.cloneNode(false);
        ticked.toggleAttribute("checked", !box.hasAttribute("checked"));
        var html = ticked.outerHTML;
        var range = document.createRange();
        range.selectNode(box);
        // The engine writes a space beside what it puts in as "&nbsp;" (all of them in the text
        // it splits), and drops one that ends what is put in: the box's place takes the text
        // after it up to its last character with it.
        var next = box.nextSibling;
        var spaced = next && next.nodeType === Node.TEXT_NODE && /^[\s\S]*\S/.exec(next.data);
        if (spaced) {
            range.setEnd(next, spaced[0].length);
            var text = document.createElement("span");
            text.textContent = spaced[0];
            html += text.innerHTML;
        }
        var selection = window.getSelection();
        selection.removeAllRanges();
        selection.addRange(range);
        document.execCommand("insertHTML", false, html);
    }

    function listen() {
        document.addEventListener("input", changed, true);
        document.addEventListener("selectionchange", function () { report("selection"); });
        document.addEventListener("keyup", function () { report("keyup"); }, true);
        document.addEventListener("click", function (event) {
            tickBox(event);
            followLink(event);
            report("click");
        }, true);
    }
    listen();

    // A picture pasted or dropped as data would stay in the page as a data address, which mail,
    // the search and other programs cannot show: its bytes go to the editor, which keeps them in
    // a file beside the note and links that. What carries HTML is pasted as the engine would.
    function isPicture(item) {
        return item.kind === "file" && /^image\//.test(item.type);
    }

    function carriesPictures(transfer) {
        return !!transfer && !!bridge && document.designMode === "on" &&
            Array.prototype.indexOf.call(transfer.types, "text/html") < 0 &&
            Array.prototype.some.call(transfer.items, isPicture);
    }

    // One after the other, so that they land in the order given.
    function handOver(files, named) {
        if (!files.length)
            return;
        var reader = new FileReader();
        reader.onload = function () {
            // An empty file reads as "data:" with no comma: no bytes, not the scheme's.
            var data = String(reader.result);
            var comma = data.indexOf(",");
            bridge.keepPicture(documentId, files[0].type, named ? files[0].name : "",
                               comma < 0 ? "" : data.slice(comma + 1));
            handOver(files.slice(1), named);
        };
        reader.onerror = function () { handOver(files.slice(1), named); };
        reader.readAsDataURL(files[0]);
    }

    // Empty while a drag is only passing over: the files show at the drop.
    function pictureFiles(transfer) {
        if (!carriesPictures(transfer))
            return [];
        return Array.prototype.filter.call(transfer.items, isPicture)
            .map(function (item) { return item.getAsFile(); })
            .filter(function (file) { return !!file; });
    }

    function caretAt(x, y) {
        var range = document.caretRangeFromPoint(x, y);
        if (!range)
            return;
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
    }

    function listenForPictures() {
        document.addEventListener("paste", function (event) {
            var files = pictureFiles(event.clipboardData).slice(0, 1);
            if (!files.length)
                return;
            event.preventDefault();
            // A pasted picture's name is the engine's own ("image.png"): the editor gives one.
            handOver(files, false);
        }, true);
        // Only a drag the page accepts ends in a drop the page sees.
        document.addEventListener("dragover", function (event) {
            if (carriesPictures(event.dataTransfer))
                event.preventDefault();
        }, true);
        document.addEventListener("drop", function (event) {
            var files = pictureFiles(event.dataTransfer);
            if (!files.length)
                return;
            event.preventDefault();
            caretAt(event.clientX, event.clientY);
            handOver(files, true);
        }, true);
    }
    listenForPictures();

    // What a spreadsheet or a word processor puts on the clipboard carries its own styles,
    // namespaces and temporary pictures, which would stay in the note for good: the editor
    // cleans it first. So it does any HTML with a picture from a file or a data address, which
    // the note would otherwise point outside the library for, or carry in its markup. Other
    // HTML is pasted as the engine does, and a paste as plain text carries no HTML.
    var officeMarkup = new RegExp([
        /urn:schemas-microsoft-com:office|<o:p[\s>]|\sx:(num|str|fmla)\b/.source,
        /class=["']?(Mso|xl\d|HStyle\d)/.source,
        /<meta\s+name=["']?(generator|progid)["']?\s+content=["']?[^"'>]*/.source +
            /(LibreOffice|OpenOffice|Excel|Word|Hancom|HWP)/.source
    ].join("|"), "i");
    var localPicture = /<img\s[^>]*\bsrc\s*=\s*["']?\s*(file|data):/i;

    // The class names the note's own style sheets define, which a paste keeps.
    function noteClasses() {
        var names = {};
        Array.prototype.forEach.call(document.styleSheets, function (sheet) {
            var rules = [];
            try {
                rules = sheet.cssRules || [];
            } catch (e) {
                return;
            }
            Array.prototype.forEach.call(rules, function (rule) {
                (rule.selectorText || "").replace(/\.(-?[_a-zA-Z][\w-]*)/g, function (all, name) {
                    names[name] = true;
                    return all;
                });
            });
        });
        return Object.keys(names);
    }

    document.addEventListener("paste", function (event) {
        if (!bridge || document.designMode !== "on" || !event.clipboardData)
            return;
        var html = event.clipboardData.getData("text/html");
        if (!html || !(officeMarkup.test(html) || localPicture.test(html)))
            return;
        event.preventDefault();
        bridge.cleanPaste(documentId, html, noteClasses());
    }, true);

    if (typeof qt !== "undefined" && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            bridge = channel.objects.qbBridge;
        });
    }

    // Where the caret is, as child indexes from the body down and an offset, with the scroll:
    // the same page read again (its links rewritten) has the same nodes.
    function caretPlace() {
        var sel = window.getSelection();
        var node = sel.rangeCount ? sel.anchorNode : null;
        if (!node || !document.body || !document.body.contains(node))
            return null;
        var path = [];
        for (var n = node; n !== document.body; n = n.parentNode)
            path.unshift(Array.prototype.indexOf.call(n.parentNode.childNodes, n));
        return { path: path, offset: sel.anchorOffset, x: window.scrollX, y: window.scrollY };
    }

    function caretToPlace(place) {
        var node = document.body;
        for (var i = 0; node && i < place.path.length; ++i)
            node = node.childNodes[place.path[i]];
        if (!node) {
            caretToStart();
            return;
        }
        window.focus();
        var length = node.nodeType === Node.TEXT_NODE ? node.data.length : node.childNodes.length;
        var range = document.createRange();
        range.setStart(node, Math.min(place.offset, length));
        range.collapse(true);
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
        window.scrollTo(place.x, place.y);
    }

    // A note just made from a template marks where typing begins (<!--qbCaret-->): the caret
    // goes there once and the mark goes. A lone &nbsp; holding the line open is selected, so
    // typing replaces it.
    function caretToMark() {
        var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_COMMENT);
        var mark = walker.nextNode();
        while (mark && mark.data !== "qbCaret")
            mark = walker.nextNode();
        if (!mark)
            return false;
        var parent = mark.parentNode;
        var next = mark.nextSibling;
        parent.removeChild(mark);
        var range = document.createRange();
        if (next && next.nodeType === Node.TEXT_NODE && next.data === "\u00a0" &&
            !next.nextSibling) {
            range.selectNodeContents(next);
        } else if (next) {
            range.setStartBefore(next);
            range.collapse(true);
        } else {
            range.selectNodeContents(parent);
            range.collapse(false);
        }
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
        if (parent.scrollIntoView)
            parent.scrollIntoView({ block: "nearest" });
        return true;
    }

    function caretToStart() {
        var body = document.body;
        if (!body)
            return false;
        window.focus();
        if (caretToMark())
            return true;
        // Into the first block rather than before it, so typing lands in the page's first line.
        var start = body;
        while (start.firstChild && start.firstChild.nodeType === Node.ELEMENT_NODE &&
               !/^(IMG|BR|HR|INPUT|TABLE|SCRIPT|STYLE)$/.test(start.firstChild.nodeName))
            start = start.firstChild;
        if (start.firstChild && start.firstChild.nodeType === Node.TEXT_NODE &&
            start.firstChild.data.trim() === "" && start.firstChild.nextSibling)
            start = body;
        var range = document.createRange();
        range.setStart(start, 0);
        range.collapse(true);
        var sel = window.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
        window.scrollTo(0, 0);
        return true;
    }

    // Commands need a place to act on; a page nobody clicked into has none yet.
    function ensureSelection() {
        if (!document.body)
            throw new Error("no document body");
        var sel = window.getSelection();
        if (sel.rangeCount === 0 || !document.body.contains(sel.getRangeAt(0).startContainer))
            caretToStart();
    }

    function doctypeText(dt) {
        var text = "<!DOCTYPE " + dt.name;
        if (dt.publicId)
            text += ' PUBLIC "' + dt.publicId + '"';
        if (dt.systemId)
            text += (dt.publicId ? "" : " SYSTEM") + ' "' + dt.systemId + '"';
        return text + ">";
    }

    // "<?xml ... ?>" parses as a comment; written back as it was, it still names the charset.
    function commentText(comment) {
        var data = comment.data;
        if (data.charAt(0) === "?" && data.indexOf(">") < 0)
            return "<" + data + ">";
        return "<!--" + data + "-->";
    }

    // The parser drops a line feed right after these start tags, and the serialiser does not
    // write one back: a blank first line would be lost at every save.
    var firstLineFeedDropped = /^(PRE|TEXTAREA|LISTING)$/;

    function losesFirstLine(element) {
        var first = element.firstChild;
        if (first && first.localName === chunkName)
            first = first.firstChild;
        return firstLineFeedDropped.test(element.nodeName) && first &&
            first.nodeType === Node.TEXT_NODE && first.data.charAt(0) === "\n";
    }

    // A chunk's content stands in its place. Should editing have given a chunk attributes of
    // its own (an alignment, say), it is written as the block it then is.
    function chunkShell(chunk) {
        if (!chunk.attributes.length || viewStyled.has(chunk))
            return null;
        var block = document.createElement("div");
        for (var i = 0; i < chunk.attributes.length; ++i)
            block.setAttribute(chunk.attributes[i].name, chunk.attributes[i].value);
        return block;
    }

    function escapedText(data) {
        return data.replace(/&/g, "&amp;").replace(/\u00A0/g, "&nbsp;")
            .replace(/</g, "&lt;").replace(/>/g, "&gt;");
    }

    // outerHTML, with the line feed written back where the parser would drop it and chunks
    // replaced by their content. Only elements on the way to such a place are taken apart.
    function elementHtml(element, onPath) {
        if (restChunks.has(element))
            return "";
        var chunk = element.localName === chunkName;
        if (!onPath.has(element) && !chunk)
            return element.outerHTML;
        var shell = chunk ? chunkShell(element) : element.cloneNode(false);
        var html = "";
        var endTag = "";
        if (shell) {
            var empty = shell.outerHTML;
            endTag = "</" + shell.localName + ">";
            html = empty.slice(0, empty.length - endTag.length);
        }
        if (!onPath.has(element))
            return html + element.innerHTML + endTag;
        if (losesFirstLine(element))
            html += "\n";
        [element].concat(tableRests.get(element) || []).forEach(function (part) {
            for (var child = part.firstChild; child; child = child.nextSibling) {
                if (child.nodeType === Node.ELEMENT_NODE) {
                    html += elementHtml(child, onPath);
                } else if (chunk && child.nodeType === Node.TEXT_NODE) {
                    html += escapedText(child.data);
                } else {
                    // The text's escaping depends on its parent: let a copy of it decide.
                    var holder = element.cloneNode(false);
                    holder.appendChild(child.cloneNode(false));
                    html += holder.innerHTML;
                }
            }
        });
        return html + endTag;
    }

    // The elements the serialiser must take apart: those holding a chunk, a split table's body
    // with those holding it, and an element whose first line the parser would drop with those
    // holding it. A chunk holding neither is written whole, as its content.
    function pathsToTakeApart() {
        var onPath = new Set();
        tableRests.forEach(function (rests, body) {
            for (var node = body; node && !onPath.has(node); node = node.parentNode)
                onPath.add(node);
        });
        var candidates = document.querySelectorAll("pre, textarea, listing, " + chunkName);
        for (var i = 0; i < candidates.length; ++i) {
            var chunk = candidates[i].localName === chunkName;
            if (!chunk && !losesFirstLine(candidates[i]))
                continue;
            var node = chunk ? candidates[i].parentNode : candidates[i];
            for (; node && !onPath.has(node); node = node.parentNode)
                onPath.add(node);
        }
        return onPath;
    }

    // Whether anything in the document changed since it finished loading: a page that was only
    // looked at is never written back in the engine's own spelling of its markup.
    var changedSinceLoad = false;
    var watcher = null;

    function watchChanges() {
        if (watcher || typeof MutationObserver === "undefined")
            return;
        watcher = new MutationObserver(function () { changedSinceLoad = true; });
        watcher.observe(document, { subtree: true, childList: true, attributes: true,
                                    characterData: true });
    }

    function hasChanged() {
        if (!watcher)
            return true;
        if (watcher.takeRecords().length)
            changedSinceLoad = true;
        return changedSinceLoad;
    }

    var api = {
        setMode: function (browse, caret, place) {
            watchChanges();
            // A frameset has no text of its own: typed keys would land inside its markup.
            var framed = !document.body || document.body.nodeName === "FRAMESET";
            document.designMode = browse || framed || tooBigToEdit ? "off" : "on";
            if (caret && place)
                caretToPlace(place);
            else if (caret)
                caretToStart();
            return !browse && tooBigToEdit ? "too big" : document.designMode;
        },
        caretToStart: caretToStart,
        caretPlace: caretPlace,
        changed: hasChanged,
        serialize: function () {
            var parts = [];
            var onPath = pathsToTakeApart();
            for (var node = document.firstChild; node; node = node.nextSibling) {
                if (node.nodeType === Node.DOCUMENT_TYPE_NODE)
                    parts.push(doctypeText(node));
                else if (node.nodeType === Node.COMMENT_NODE)
                    parts.push(commentText(node));
                else if (node.nodeType === Node.ELEMENT_NODE)
                    parts.push(elementHtml(node, onPath));
            }
            if (!document.documentElement || document.readyState !== "complete")
                throw new Error("the page has not finished loading");
            return { html: parts.join("\n"), charset: document.characterSet, url: location.href };
        },
        // Sets a toggling style to the given state instead of flipping it.
        setStyle: function (cmd, on) {
            ensureSelection();
            if (query("queryCommandState", cmd) === on)
                return true;
            return document.execCommand(cmd, false, null);
        },
        justify: function (cmd, on) {
            ensureSelection();
            if (on)
                return document.execCommand(cmd, false, null);
            if (cmd !== "justifyLeft" && query("queryCommandState", cmd))
                return document.execCommand("justifyLeft", false, null);
            return true;
        },
        exec: function (cmd, value) {
            ensureSelection();
            // A null value would reach the page as the text "null" (a rule's id, say).
            return document.execCommand(cmd, false, value === null ? "" : value);
        },
        // Only into the document that gave the picture: another may have taken its place.
        insertPicture: function (doc, src) {
            if (doc !== documentId || document.designMode !== "on")
                return false;
            ensureSelection();
            return document.execCommand("insertImage", false, src);
        },
        // Only into the document that gave the paste, as one step to undo.
        pasteCleaned: function (doc, html) {
            if (doc !== documentId || document.designMode !== "on")
                return false;
            return api.pasteHtml(html);
        },
        pasteHtml: function (html) {
            ensureSelection();
            if (html === "")
                return window.getSelection().isCollapsed ||
                    document.execCommand("delete", false, null);
            return document.execCommand("insertHTML", false, html);
        }
    };

    if (typeof qbTables !== "undefined")
        Object.keys(qbTables.commands).forEach(function (name) {
            api[name] = function () {
                ensureSelection();
                return qbTables.commands[name].apply(null, arguments);
            };
        });

    window.qbEdit = {
        call: function (name, args) {
            try {
                var value = api[name].apply(null, args || []);
                return { ok: true, doc: documentId, value: value, state: snapshot() };
            } catch (e) {
                return { ok: false, error: String((e && e.message) || e) };
            }
        }
    };
})();
