// A click on a link in the editor's preview is a click that points at
// something, not a request to go there: the link is followed only with Ctrl
// (or the Meta key) held, or through the context menu's "Open Link". This
// runs in the editor's own world before the page's scripts; the page's own
// click handlers still run.
(function () {
    'use strict';
    function keep(event) {
        if (event.ctrlKey || event.metaKey || event.defaultPrevented) {
            return;
        }
        for (var node = event.target; node; node = node.parentNode) {
            if (node.nodeType === Node.ELEMENT_NODE && node.hasAttribute('href') &&
                (node.localName === 'a' || node.localName === 'area')) {
                event.preventDefault();
                return;
            }
        }
    }
    window.addEventListener('click', keep, true);
    window.addEventListener('auxclick', keep, true);
})();
