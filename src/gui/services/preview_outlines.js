// The editor's outlines over a page in its preview. This runs in a world of
// its own, beside the page's scripts, and only ever adds one element that
// holds the drawing; it changes nothing of the page itself.
//
// The page's areas and components are the text between their markers
// "<!---Begin_Image2---!>" and "<!---End_Image2---!>", which the browser keeps
// as comments whose text is "-Begin_Image2-".
(function () {
    'use strict';
    if (window.quenfortOutlines) {
        return;
    }
    // Kind tag to display name, from the editor's kind table; areas are "Table".
    var kinds = __KINDS__;
    var marker = /^-(Begin|End)_([A-Za-z_]+?)(\d+)-$/;
    var state = {show: true, area: '', component: '', hover: ''};
    var bridge = null;
    var blocks = null;
    var host = null;
    var layer = null;
    var pending = false;

    var css =
        '.box{position:absolute;box-sizing:border-box;border:1px dashed rgba(0,110,200,.8);}' +
        // An area's name sits in its top right corner, where content seldom is;
        // a component's on its bottom edge, outside it.
        '.box::before{content:attr(data-name);position:absolute;right:-1px;top:-1px;' +
        'font:bold 10px/13px sans-serif;color:#fff;background:rgba(0,110,200,.85);' +
        'padding:0 4px;white-space:nowrap;border-radius:0 0 0 3px;}' +
        '.comp{border:1px solid #1e8e3e;}' +
        '.comp::before{background:#1e8e3e;top:100%;right:auto;left:-1px;border-radius:0 0 3px 3px;}' +
        '.chosen{border:2px solid #e8710a;}' +
        '.chosen::before{background:#e8710a;}' +
        '.comp.hover{box-shadow:0 0 0 1px rgba(30,142,62,.35);}';

    // The Select Area or Select Component entry of a marker's name parts.
    function entryOf(tag, number) {
        if (tag === 'Table') {
            return 'Area' + number;
        }
        return Object.prototype.hasOwnProperty.call(kinds, tag) ? kinds[tag] + number : '';
    }

    // Every block with both markers, in page order; the first of a name counts.
    // The ends are paired apart from the starts: a start marker the browser
    // kept outside the body comes after its end in the document.
    function findBlocks() {
        var starts = {};
        var ends = {};
        var list = [];
        var walker = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
        var node;
        while ((node = walker.nextNode())) {
            var parts = marker.exec(node.data);
            if (!parts) {
                continue;
            }
            var entry = entryOf(parts[2], parts[3]);
            var key = parts[2] + parts[3];
            if (!entry) {
                continue;
            }
            if (parts[1] === 'End') {
                if (!ends[key]) {
                    ends[key] = node;
                }
            } else if (!starts[key]) {
                starts[key] = {entry: entry, area: parts[2] === 'Table', begin: node, key: key};
                list.push(starts[key]);
            }
        }
        return list.filter(function (block) {
            block.end = ends[block.key] || null;
            return block.end !== null;
        });
    }

    // The first thing of the body that is not a comment or blank text.
    function firstContent(body) {
        for (var node = body.firstChild; node; node = node.nextSibling) {
            if (node.nodeType === Node.ELEMENT_NODE ||
                (node.nodeType === Node.TEXT_NODE && node.data.trim() !== '')) {
                return node;
            }
        }
        return null;
    }

    // A marker right behind "</body>" is kept outside the body, while what
    // follows it goes into the body: the block then starts at the body's content.
    function setStart(range, comment) {
        var body = document.body;
        if (body && !body.contains(comment) &&
            (body.compareDocumentPosition(comment) & Node.DOCUMENT_POSITION_FOLLOWING)) {
            var first = firstContent(body);
            if (first) {
                range.setStartBefore(first);
                return;
            }
        }
        range.setStartAfter(comment);
    }

    // The block's rectangle in the viewport, or null when it shows nothing.
    function rectOf(block) {
        var range = document.createRange();
        try {
            setStart(range, block.begin);
            range.setEndBefore(block.end);
        } catch (error) {
            return null;
        }
        if (range.collapsed) {
            return null;
        }
        var rect = range.getBoundingClientRect();
        return rect.width >= 1 || rect.height >= 1 ? rect : null;
    }

    function measure() {
        if (!blocks) {
            blocks = findBlocks();
        }
        var measured = [];
        blocks.forEach(function (block) {
            var rect = rectOf(block);
            if (rect) {
                measured.push({entry: block.entry, area: block.area, rect: rect});
            }
        });
        return measured;
    }

    // The innermost area and component under a point of the viewport.
    function hit(x, y) {
        var area = null;
        var component = null;
        measure().forEach(function (block) {
            var r = block.rect;
            if (x < r.left || x > r.right || y < r.top || y > r.bottom) {
                return;
            }
            var size = r.width * r.height;
            if (block.area) {
                if (!area || size <= area.size) {
                    area = {entry: block.entry, size: size};
                }
            } else if (!component || size <= component.size) {
                component = {entry: block.entry, size: size};
            }
        });
        return {area: area ? area.entry : '', component: component ? component.entry : ''};
    }

    function ensureLayer() {
        if (host && host.isConnected) {
            return;
        }
        host = document.createElement('quenfort-outlines');
        host.style.cssText = 'all:initial;position:absolute;left:0;top:0;width:0;height:0;' +
            'overflow:visible;pointer-events:none;z-index:2147483647;user-select:none;';
        var root = host.attachShadow({mode: 'closed'});
        var style = document.createElement('style');
        style.textContent = css;
        root.appendChild(style);
        layer = document.createElement('div');
        root.appendChild(layer);
        document.documentElement.appendChild(host);
    }

    function draw() {
        pending = false;
        if (!document.documentElement) {
            return;
        }
        ensureLayer();
        layer.textContent = '';
        if (!state.show) {
            return;
        }
        var x = window.scrollX;
        var y = window.scrollY;
        measure().forEach(function (block) {
            var chosen = block.entry === (block.area ? state.area : state.component);
            var hover = !block.area && block.entry === state.hover;
            if (!block.area && !chosen && !hover) {
                return;
            }
            var box = document.createElement('div');
            box.className = 'box ' + (block.area ? 'area' : 'comp') + (chosen ? ' chosen' : '') +
                (hover ? ' hover' : '');
            box.setAttribute('data-name', block.entry);
            box.style.left = (block.rect.left + x) + 'px';
            box.style.top = (block.rect.top + y) + 'px';
            box.style.width = block.rect.width + 'px';
            box.style.height = block.rect.height + 'px';
            layer.appendChild(box);
        });
    }

    function redraw() {
        if (!pending) {
            pending = true;
            window.requestAnimationFrame(draw);
        }
    }

    document.addEventListener('mousemove', function (event) {
        var component = hit(event.clientX, event.clientY).component;
        if (component !== state.hover) {
            state.hover = component;
            redraw();
        }
    }, true);
    document.addEventListener('mouseleave', function () {
        if (state.hover) {
            state.hover = '';
            redraw();
        }
    }, true);
    document.addEventListener('click', function (event) {
        var picked = hit(event.clientX, event.clientY);
        if (bridge && event.button === 0 && (picked.area || picked.component)) {
            bridge.Pointed(picked.area, picked.component);
        }
    }, true);
    document.addEventListener('dblclick', function (event) {
        var picked = hit(event.clientX, event.clientY);
        if (bridge && event.button === 0 && (picked.area || picked.component)) {
            bridge.DoubleClicked(picked.area, picked.component);
        }
    }, true);
    // Pictures that arrive later move what follows them.
    document.addEventListener('load', redraw, true);
    window.addEventListener('load', redraw);
    window.addEventListener('resize', redraw);
    if (window.ResizeObserver && document.body) {
        new ResizeObserver(redraw).observe(document.body);
    }

    new QWebChannel(qt.webChannelTransport, function (channel) {
        bridge = channel.objects.quenfortPreview;
        var take = function () {
            state.show = bridge.showAreas;
            state.area = bridge.chosenArea;
            state.component = bridge.chosenComponent;
            redraw();
        };
        bridge.changed.connect(take);
        take();
    });

    // What tests read back through the editor.
    window.quenfortOutlines = {
        state: function () {
            var rects = {};
            measure().forEach(function (block) {
                var r = block.rect;
                rects[block.entry] = [r.left, r.top, r.width, r.height];
            });
            var drawn = [];
            if (layer) {
                Array.prototype.forEach.call(layer.children, function (box) {
                    drawn.push(box.getAttribute('data-name') + ' ' + box.className.replace(/^box /, ''));
                });
            }
            return JSON.stringify({blocks: rects, drawn: drawn, ready: bridge !== null});
        }
    };
    redraw();
})();
