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
    var blocks = null; // every block with both markers, once found
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
        '.comp.hover{box-shadow:0 0 0 1px rgba(30,142,62,.35);}' +
        '.note{position:fixed;right:8px;bottom:8px;max-width:60%;padding:4px 8px;' +
        'font:12px/16px sans-serif;color:#fff;background:rgba(0,110,200,.9);border-radius:3px;}' +
        // What is printed from here is the page alone.
        '@media print{.box,.note{display:none;}}';

    // The Select Area or Select Component entry of a marker's name parts.
    function entryOf(tag, number) {
        if (tag === 'Table') {
            return 'Area' + number;
        }
        return Object.prototype.hasOwnProperty.call(kinds, tag) ? kinds[tag] + number : '';
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

    // The blocks' rectangles, measured in slices after the page has painted:
    // each slice stops once it has run `kSlice` ms, so the page stays
    // responsive whatever its size. Rectangles are kept in page coordinates
    // and measured again (in slices) after the page's layout changed.
    var kSlice = 25;
    // More areas than this are not outlined: a note says so instead.
    var kMostAreas = 1000;
    // Components are measured ahead only on pages of at most this many blocks.
    var kMostMeasured = 2000;
    var walker = null;
    var found = [];
    var starts = {};
    var ends = {};
    var areaCount = 0;
    var measuredUpTo = 0;
    var complete = false;
    var working = false;
    var stale = false;
    var restarts = 0;
    var slices = 0;

    function now() {
        return window.performance ? performance.now() : Date.now();
    }

    // Walks the page's comments from where the last slice stopped; true when
    // every comment has been seen.
    function findSome(until) {
        if (!walker) {
            walker = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
        }
        var node;
        var count = 0;
        while ((node = walker.nextNode())) {
            var parts = marker.exec(node.data);
            if (parts) {
                var entry = entryOf(parts[2], parts[3]);
                var key = parts[2] + parts[3];
                if (entry) {
                    if (parts[1] === 'End') {
                        if (!ends[key]) {
                            ends[key] = node;
                        }
                    } else if (!starts[key]) {
                        starts[key] = {entry: entry, area: parts[2] === 'Table', begin: node,
                                       key: key, rect: null};
                        found.push(starts[key]);
                    }
                }
            }
            if (++count % 256 === 0 && now() > until) {
                return false;
            }
        }
        return true;
    }

    // Every block with both markers, in page order; the first of a name counts.
    // The ends are paired apart from the starts: a start marker the browser
    // kept outside the body comes after its end in the document.
    function pairBlocks() {
        blocks = found.filter(function (block) {
            block.end = ends[block.key] || null;
            return block.end !== null;
        });
        areaCount = blocks.filter(function (block) { return block.area; }).length;
    }

    // A block's rectangle in page coordinates, or null.
    function pageRectOf(block) {
        var rect = rectOf(block);
        return rect ? {left: rect.left + window.scrollX, top: rect.top + window.scrollY,
                       width: rect.width, height: rect.height} : null;
    }

    // Measures blocks from where the last slice stopped; true when all are.
    // On a page of too many areas the areas are left out, on a page of many
    // blocks the components: one rectangle can cost as much as the row or
    // the run of text it stands in. What is left out is picked by blockAt
    // and measured when it is to be drawn.
    function measureSome(until) {
        var skipAreas = tooMany();
        var skipComponents = !componentsMeasured();
        while (measuredUpTo < blocks.length) {
            var block = blocks[measuredUpTo++];
            block.rect = (block.area ? skipAreas : skipComponents) ? null : pageRectOf(block);
            if (now() > until) {
                return measuredUpTo >= blocks.length;
            }
        }
        return true;
    }

    // The innermost area (or component) around a point of the viewport,
    // found in the page's order rather than by rectangles: walking back from
    // the element there, the first start marker of its kind whose end has
    // not been passed. An area whose start marker the browser kept behind
    // the body starts at the body's content: it holds the element when its
    // end marker comes after it.
    function blockAt(x, y, area) {
        var node = document.elementFromPoint(x, y);
        if (!node) {
            return '';
        }
        var back = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
        back.currentNode = node;
        var passed = {};
        var comment;
        while ((comment = back.previousNode())) {
            var parts = marker.exec(comment.data);
            if (!parts || (parts[2] === 'Table') !== area) {
                continue;
            }
            var key = parts[2] + parts[3];
            var block = starts[key];
            if (parts[1] === 'End') {
                passed[key] = true;
            } else if (!passed[key] && block && block.begin === comment && block.end) {
                return block.entry;
            }
        }
        var body = document.body;
        var found = '';
        if (body && body.contains(node)) {
            (blocks || []).forEach(function (block) {
                if (!found && block.area === area && !body.contains(block.begin) &&
                    (node.compareDocumentPosition(block.end) & Node.DOCUMENT_POSITION_FOLLOWING)) {
                    found = block.entry;
                }
            });
        }
        return found;
    }

    // One slice of the work, then the next after the page has had its turn.
    function work() {
        var until = now() + kSlice;
        if (!blocks) {
            if (!findSome(until)) {
                window.setTimeout(work, 0);
                return;
            }
            pairBlocks();
            redraw();
        }
        slices++;
        if (stale) {
            stale = false;
            measuredUpTo = 0;
            restarts++;
        }
        if (!measureSome(until)) {
            window.setTimeout(work, 0);
            return;
        }
        working = false;
        complete = true;
        redraw();
    }

    function startWork() {
        if (!working) {
            working = true;
            window.setTimeout(work, 0);
        }
    }

    // The page's layout changed: measure again, keeping the old rectangles
    // until then.
    function layoutChanged() {
        if (blocks) {
            stale = true;
            complete = false;
        }
        startWork();
        redraw();
    }

    // Everything measured at once (what tests read back; a click before the
    // slices are through on a page that can be outlined).
    function measureAll() {
        if (!blocks) {
            findSome(Infinity);
            pairBlocks();
        }
        if (stale) {
            stale = false;
            measuredUpTo = 0;
        }
        measureSome(Infinity);
        complete = true;
        working = false;
    }

    function tooMany() {
        return blocks !== null && areaCount > kMostAreas;
    }

    function componentsMeasured() {
        return blocks !== null && blocks.length <= kMostMeasured;
    }

    // The measured blocks (page coordinates); all of them measured first
    // when `now` and the page is small enough.
    function measured(all) {
        if (all && !complete && (!blocks || !tooMany())) {
            measureAll();
        }
        return (blocks || []).filter(function (block) { return block.rect !== null; });
    }

    // The innermost area and component under a point of the viewport.
    function hit(x, y, all) {
        var area = null;
        var component = null;
        var px = x + window.scrollX;
        var py = y + window.scrollY;
        measured(all).forEach(function (block) {
            var r = block.rect;
            if (px < r.left || px > r.left + r.width || py < r.top || py > r.top + r.height) {
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
        if (tooMany()) {
            area = {entry: blockAt(x, y, true)};
        }
        if (!componentsMeasured()) {
            component = {entry: blockAt(x, y, false)};
        }
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

    function boxOf(block, classes) {
        var box = document.createElement('div');
        box.className = 'box ' + classes;
        box.setAttribute('data-name', block.entry);
        box.style.left = block.rect.left + 'px';
        box.style.top = block.rect.top + 'px';
        box.style.width = block.rect.width + 'px';
        box.style.height = block.rect.height + 'px';
        return box;
    }

    // Draws what is on the screen (and a screen's height around it): the
    // areas, and the components chosen or under the pointer. A page with
    // more areas than can usefully be outlined gets a note instead of its
    // area outlines.
    function draw() {
        pending = false;
        if (!document.documentElement) {
            return;
        }
        ensureLayer();
        var boxes = document.createDocumentFragment();
        if (state.show && blocks) {
            var many = tooMany();
            if (many) {
                var note = document.createElement('div');
                note.className = 'note';
                note.textContent = areaCount + ' areas: too many to outline. ' +
                    'A click still selects the area under the pointer.';
                boxes.appendChild(note);
            }
            var top = window.scrollY - window.innerHeight;
            var bottom = window.scrollY + 2 * window.innerHeight;
            var left = window.scrollX - window.innerWidth;
            var right = window.scrollX + 2 * window.innerWidth;
            blocks.forEach(function (block) {
                var chosen = block.entry === (block.area ? state.area : state.component);
                var hover = !block.area && block.entry === state.hover;
                if ((chosen || hover) && (block.area ? many : !componentsMeasured())) {
                    block.rect = pageRectOf(block);
                }
                var r = block.rect;
                if (!r) {
                    return;
                }
                if (block.area ? many && !chosen : !chosen && !hover) {
                    return;
                }
                if (r.top > bottom || r.top + r.height < top || r.left > right ||
                    r.left + r.width < left) {
                    return;
                }
                boxes.appendChild(boxOf(block, (block.area ? 'area' : 'comp') +
                    (chosen ? ' chosen' : '') + (hover ? ' hover' : '')));
            });
        }
        layer.textContent = '';
        layer.appendChild(boxes);
    }

    function redraw() {
        if (!pending) {
            pending = true;
            window.requestAnimationFrame(draw);
        }
    }

    // The pointer's component, looked up at most once a frame.
    var pointer = null;
    document.addEventListener('mousemove', function (event) {
        var first = pointer === null;
        pointer = {x: event.clientX, y: event.clientY};
        if (!first) {
            return;
        }
        window.requestAnimationFrame(function () {
            var component = hit(pointer.x, pointer.y, false).component;
            pointer = null;
            if (component !== state.hover) {
                state.hover = component;
                redraw();
            }
        });
    }, true);
    document.addEventListener('mouseleave', function () {
        if (state.hover) {
            state.hover = '';
            redraw();
        }
    }, true);
    document.addEventListener('click', function (event) {
        var picked = hit(event.clientX, event.clientY, true);
        if (bridge && event.button === 0 && (picked.area || picked.component)) {
            bridge.Pointed(picked.area, picked.component);
        }
    }, true);
    document.addEventListener('dblclick', function (event) {
        var picked = hit(event.clientX, event.clientY, true);
        if (bridge && event.button === 0 && (picked.area || picked.component)) {
            bridge.DoubleClicked(picked.area, picked.component);
        }
    }, true);
    // Pictures that arrive later move what follows them.
    document.addEventListener('load', layoutChanged, true);
    window.addEventListener('load', layoutChanged);
    window.addEventListener('resize', layoutChanged);
    window.addEventListener('scroll', redraw, true);
    if (window.ResizeObserver && document.body) {
        var observed = false;
        new ResizeObserver(function () {
            // The first report is the body's first size, already measured.
            if (observed) {
                layoutChanged();
            }
            observed = true;
        }).observe(document.body);
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

    // What tests read back through the editor: every block's rectangle in
    // the viewport (all measured now), the outlines drawn, and whether the
    // slices are through ("done") and the note is up ("tooMany").
    window.quenfortOutlines = {
        state: function () {
            var rects = {};
            var x = window.scrollX;
            var y = window.scrollY;
            measured(true).forEach(function (block) {
                var r = block.rect;
                if (!Object.prototype.hasOwnProperty.call(rects, block.entry)) {
                    rects[block.entry] = [r.left - x, r.top - y, r.width, r.height];
                }
            });
            var drawn = [];
            if (layer) {
                Array.prototype.forEach.call(layer.querySelectorAll('.box'), function (box) {
                    drawn.push(box.getAttribute('data-name') + ' ' + box.className.replace(/^box /, ''));
                });
            }
            return JSON.stringify({blocks: rects, drawn: drawn, ready: bridge !== null,
                                   done: complete, tooMany: tooMany(),
                                   measured: measuredUpTo, restarts: restarts, slices: slices,
                                   found: found.length,
                                   note: layer && layer.querySelector('.note') ?
                                       layer.querySelector('.note').textContent : ''});
        },
        done: function () {
            return complete;
        }
    };
    // The page paints first; the blocks are found and measured after.
    window.requestAnimationFrame(function () {
        startWork();
    });
})();
