// The page's side of the browser platform (runs before the game's code is loaded): the command line from
// the page's address, the game's folder, the records in IndexedDB, sound through Web Audio, full screen,
// and the canvas's scale on the page.
//
// Address parameters: "arg" (repeated) are the game's command-line arguments, in order
// ("?arg=--play&arg=/game/replays/level01.rpl"); "unpaced=1" runs the game on a virtual clock as fast
// as it can go.
(function() {
  var params = new URLSearchParams(window.location.search);
  Module.arguments = params.getAll('arg');
  Module.brilloraUnpaced = params.get('unpaced') === '1';

  // What the page (and a test driving it) can see of the game.
  var state = Module.brillora = {
    started: false,      // "Init OK" was printed: the game's start-up is done
    startMs: 0,          // page clock at that moment
    frames: 0,           // frames presented
    exited: false,
    exitStatus: null,
    output: [],          // lines of the game's standard output and error
    recordsSyncing: false,
    recordsStored: 0,    // stores of the records into IndexedDB finished so far
    recordsError: null,
  };

  function show(text) {
    var status = document.getElementById('status');
    if (status) status.textContent = text;
  }
  Module.print = function(text) {
    state.output.push(text);
    console.log(text);
    if (text === 'Init OK') {
      state.started = true;
      state.startMs = performance.now();
      show('');
    }
  };
  Module.printErr = function(text) {
    state.output.push(text);
    console.warn(text);
  };
  Module.setStatus = function(text) {
    show(text);
  };
  Module.onExit = function(status) {
    state.exited = true;
    state.exitStatus = status;
    show('The game has ended. Reload the page to play again.');
  };
  // The game's end unwinds it with an "ExitStatus" exception; after a wait it surfaces here, in the
  // page's own event handlers, where it is no error.
  function isExit(e) {
    return e && e.name === 'ExitStatus';
  }
  window.addEventListener('error', function(event) {
    if (isExit(event.error)) event.preventDefault();
  });
  window.addEventListener('unhandledrejection', function(event) {
    if (isExit(event.reason)) event.preventDefault();
  });
  Module.onAbort = function(what) {
    state.exited = true;
    state.exitStatus = 'abort: ' + what;
    show('The game stopped: ' + what);
  };

  // The player's records live where the game keeps them on a desktop ($HOME/.local/share/brillora), a
  // folder that is an IndexedDB store of the page: read in before the game starts, written after every
  // save (one store at a time; a save during a store is stored again after it).
  var recordsFolder = '/home/web_user/.local/share/brillora';
  var storeAgain = false;
  Module.brilloraKeepRecords = function() {
    if (state.recordsSyncing) {
      storeAgain = true;
      return;
    }
    state.recordsSyncing = true;
    FS.syncfs(false, function(err) {
      state.recordsSyncing = false;
      if (err) {
        state.recordsError = String(err);
        console.error('The records could not be stored in the browser: ' + err);
      } else {
        state.recordsStored++;
      }
      if (storeAgain) {
        storeAgain = false;
        Module.brilloraKeepRecords();
      }
    });
  };
  Module.preRun = (Module.preRun || []).concat([function() {
    FS.mkdirTree(recordsFolder);
    FS.mount(IDBFS, {}, recordsFolder);
    addRunDependency('brillora-records');
    FS.syncfs(true, function(err) {
      if (err) {
        state.recordsError = String(err);
        console.error('The stored records could not be read: ' + err);
      }
      removeRunDependency('brillora-records');
    });
  }]);
  // The game's folder is the one the page's data unpack into.
  Module.onRuntimeInitialized = function() {
    FS.chdir('/game');
  };

  // Sound: the mixer's blocks are queued back to back on the page's audio clock. Browsers keep a page
  // silent until the player has pressed a key or clicked, so the audio context is resumed then.
  Module.brilloraAudio = {
    ctx: null,
    rate: 0,
    next: 0,
    open: function(rate) {
      this.rate = rate;
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      try {
        this.ctx = new Context({sampleRate: rate});
      } catch (e) {
        try {
          this.ctx = new Context();
        } catch (e2) {
          this.ctx = null;
        }
      }
    },
    resume: function() {
      if (this.ctx && this.ctx.state === 'suspended') this.ctx.resume();
    },
    close: function() {
      if (this.ctx) this.ctx.close();
      this.ctx = null;
    },
    queue: function(ptr, frames) {
      var ctx = this.ctx;
      if (!ctx || ctx.state !== 'running' || frames <= 0) return;
      var buffer = ctx.createBuffer(2, frames, this.rate);
      var left = buffer.getChannelData(0), right = buffer.getChannelData(1);
      var base = ptr >> 1;
      for (var i = 0; i < frames; i++) {
        left[i] = HEAP16[base + 2 * i] / 32768;
        right[i] = HEAP16[base + 2 * i + 1] / 32768;
      }
      var source = ctx.createBufferSource();
      source.buffer = buffer;
      source.connect(ctx.destination);
      var at = Math.max(this.next, ctx.currentTime + 0.02);
      source.start(at);
      this.next = at + frames / this.rate;
    },
  };

  // The canvas holds the 640 x 480 picture; on the page it is shown at the largest whole multiple that
  // fits (in full screen: as large as fits, aspect kept), with sharp pixels.
  Module.brilloraFitCanvas = function() {
    var canvas = Module.canvas;
    if (!canvas) return;
    var full = !!document.fullscreenElement;
    var bar = document.getElementById('bar');
    var availW = window.innerWidth;
    var availH = window.innerHeight - (full || !bar ? 0 : bar.offsetHeight);
    var scale = Math.min(availW / canvas.width, availH / canvas.height);
    if (!full && scale >= 1) scale = Math.floor(scale);
    if (!(scale > 0)) scale = 1;
    canvas.style.width = Math.round(canvas.width * scale) + 'px';
    canvas.style.height = Math.round(canvas.height * scale) + 'px';
  };
  window.addEventListener('resize', function() {
    Module.brilloraFitCanvas();
  });
  document.addEventListener('fullscreenchange', function() {
    Module.brilloraFitCanvas();
  });
  // Returns 1 when the page is (or is about to be) in full screen as asked, 0 when the browser will not
  // allow it now (no key or click just before).
  Module.brilloraSetFullScreen = function(on) {
    var stage = document.getElementById('stage') || Module.canvas;
    if (!on) {
      if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
      return 1;
    }
    if (document.fullscreenElement) return 1;
    var activation = navigator.userActivation;
    if (!stage.requestFullscreen || (activation && !activation.isActive)) return 0;
    stage.requestFullscreen().catch(function() {});
    return 1;
  };

  // The sound level, shown beside the picture for a moment after the volume keys.
  var levelTimer = 0;
  Module.brilloraShowSoundLevel = function(percent, muted, forMs) {
    var level = document.getElementById('level');
    if (!level) return;
    level.textContent = muted ? 'Sound off' : 'Sound ' + percent + '%';
    level.style.visibility = 'visible';
    clearTimeout(levelTimer);
    levelTimer = setTimeout(function() {
      level.style.visibility = 'hidden';
    }, forMs);
  };
})();
