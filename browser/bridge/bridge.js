// The page's side of the native bridge, injected at document creation into
// every frame of a page loaded from the program folder. It gives the page
//   window.cefQuery({request, onSuccess, onFailure, persistent}) -> id
//   window.cefQueryCancel(id)
//   window.setMessageCallback(name, fn)
// The top frame talks to the native side over the web channel; a sub-frame
// goes through the top frame's bridge (messages sent from sub-frames over the
// channel would be lost). Runs inside a function that also holds
// qwebchannel.js and TESK_PROGRAM_URL, so the page's globals stay clean.
'use strict';

if (window.__teskBridge !== undefined)
    return;

var isLocal = location.protocol === 'file:' && location.href.indexOf(TESK_PROGRAM_URL) === 0;
var isTop = window === window.top;

var EVENTS = ['devicesChanged', 'macroItem', 'currentPropChanged', 'navStateChanged',
              'onDeviceData', 'onProcessChanged'];

function topBridge() {
    try {
        return window.top.__teskBridge || null;
    } catch (e) {
        return null;  // a top frame of another origin
    }
}

var bridge = null;
if (isLocal && isTop) {
    bridge = makeTopBridge();
} else if (isLocal) {
    bridge = topBridge();
}
Object.defineProperty(window, '__teskBridge', {value: bridge, enumerable: false});
if (!bridge)
    return;  // pages from elsewhere get no access to the native side

// Every frame's own functions, working on the top frame's tables. Calls of
// a frame are keyed by its window, so its entries go when it goes.
window.cefQuery = function (options) {
    return bridge.query(options, window);
};
window.cefQueryCancel = function (id) {
    bridge.cancel(id);
};
window.setMessageCallback = function (name, fn) {
    if (arguments.length === 2 && typeof name === 'string' && typeof fn === 'function')
        bridge.setCallback(name, fn, window);
    return undefined;
};
if (!isTop) {
    window.addEventListener('pagehide', function () { bridge.release(window); });
}

function makeTopBridge() {
    var router = null;
    var waiting = [];      // calls made before the channel is up
    var pending = new Map();  // id -> {options, owner}
    var callbacks = new Map();  // name -> {fn, owner}
    var nextId = 1;

    function call(fn) {
        if (router)
            fn();
        else
            waiting.push(fn);
    }

    function invoke(fn, self, args) {
        try {
            fn.apply(self, args);
        } catch (e) {
            // an exception in a page callback stays with the page
        }
    }

    function onAnswer(id, success, code, text) {
        var entry = pending.get(id);
        if (!entry)
            return;
        if (!entry.options.persistent)
            pending.delete(id);
        var o = entry.options;
        if (success) {
            if (typeof o.onSuccess === 'function')
                invoke(o.onSuccess, entry.owner, [text]);
        } else if (typeof o.onFailure === 'function') {
            invoke(o.onFailure, entry.owner, [code, text]);
        }
    }

    function onEvent(name, args) {
        if (EVENTS.indexOf(name) < 0)
            return;
        var entry = callbacks.get(name);
        if (!entry)
            return;  // lost: not kept for a callback set later
        invoke(entry.fn, entry.owner, [Array.isArray(args) ? args : []]);
    }

    function connect() {
        if (typeof qt === 'undefined' || !qt.webChannelTransport) {
            setTimeout(connect, 1);
            return;
        }
        new QWebChannel(qt.webChannelTransport, function (channel) {
            router = channel.objects.teskRouter;
            router.answer.connect(onAnswer);
            router.pageEvent.connect(onEvent);
            var calls = waiting;
            waiting = [];
            calls.forEach(function (fn) { fn(); });
        });
    }
    connect();

    return {
        query: function (options, owner) {
            if (options === null || typeof options !== 'object')
                return 0;
            var id = nextId++;
            var request = String(options.request === undefined ? '' : options.request);
            var persistent = !!options.persistent;
            pending.set(id, {options: options, owner: owner});
            call(function () {
                if (pending.has(id))
                    router.query(id, request, persistent);
            });
            return id;
        },
        cancel: function (id) {
            if (!pending.delete(id))
                return;
            call(function () { router.cancel(id); });
        },
        setCallback: function (name, fn, owner) {
            if (!callbacks.has(name))
                callbacks.set(name, {fn: fn, owner: owner});
        },
        release: function (owner) {
            callbacks.forEach(function (entry, name) {
                if (entry.owner === owner)
                    callbacks.delete(name);
            });
            pending.forEach(function (entry, id) {
                if (entry.owner === owner) {
                    pending.delete(id);
                    call(function () { router.cancel(id); });
                }
            });
        }
    };
}
