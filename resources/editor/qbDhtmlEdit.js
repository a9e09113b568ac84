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
            canRedo: query("queryCommandEnabled", "redo")
        };
    }

    function report(kind) {
        if (bridge)
            bridge.report(kind, snapshot());
    }

    // Parsing also mutates the document; only changes made while editing count.
    function changed() {
        if (document.designMode === "on")
            report("changed");
    }

    new MutationObserver(changed).observe(document, {
        childList: true, subtree: true, attributes: true, characterData: true
    });
    document.addEventListener("input", changed, true);
    document.addEventListener("selectionchange", function () { report("selection"); });
    document.addEventListener("keyup", function () { report("keyup"); }, true);
    document.addEventListener("click", function () { report("click"); }, true);

    if (typeof qt !== "undefined" && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            bridge = channel.objects.qbBridge;
        });
    }

    function caretToStart() {
        var body = document.body;
        if (!body)
            return false;
        window.focus();
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

    var api = {
        setMode: function (browse, caret) {
            document.designMode = browse ? "off" : "on";
            if (caret)
                caretToStart();
            return document.designMode;
        },
        caretToStart: caretToStart,
        serialize: function () {
            var parts = [];
            for (var node = document.firstChild; node; node = node.nextSibling) {
                if (node.nodeType === Node.DOCUMENT_TYPE_NODE)
                    parts.push(doctypeText(node));
                else if (node.nodeType === Node.COMMENT_NODE)
                    parts.push("<!--" + node.data + "-->");
                else if (node.nodeType === Node.ELEMENT_NODE)
                    parts.push(node.outerHTML);
            }
            if (!document.documentElement || document.readyState !== "complete")
                throw new Error("the page has not finished loading");
            return { html: parts.join("\r\n"), charset: document.characterSet, url: location.href };
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
        pasteHtml: function (html) {
            ensureSelection();
            if (html === "")
                return window.getSelection().isCollapsed ||
                    document.execCommand("delete", false, null);
            return document.execCommand("insertHTML", false, html);
        }
    };

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
