// What the page's program needs from the browser, set up before it starts (emscripten's
// --pre-js; web/index.html sets the rest of Module).
//
// - The program lies where the installed game does (/usr/bin/vark), so it finds its data
//   beside it (/usr/share/vark, loaded with the page) and keeps the player's profiles and
//   settings in its home folder, as on the desktop.
// - The home folder is kept in the browser's IndexedDB: read back before the program
//   starts; every save waits for Module.syncStorage, which copies all changes there in one
//   transaction, one sync at a time.
// - The page is one program, started under the name in the address: ?setup is the set-up
//   program, ?safe the set-up program in safe mode, none the game. Module.startProgram opens
//   the page again as another program once every save has reached the storage.
// - While the program sleeps waiting for input (runtime/input_wait_web.cpp), any input the
//   page hears wakes it, after SDL's own handlers have queued the event.

const HOME = "/home/web_user";
const PROGRAMS = { "RIZAVORUV.exe": "?setup", "KELPSafe.exe": "?safe" };

Module.thisProgram =
  Object.keys(PROGRAMS).find((name) => PROGRAMS[name] === location.search) || "vark";

let storageSyncs = Promise.resolve(true);

function storageProblem(text) {
  console.warn("vark: " + text);
  if (Module.onStorageProblem) Module.onStorageProblem(text);
}

function syncStorage(populate) {
  return new Promise((resolve) => {
    try {
      FS.syncfs(populate, (error) => {
        if (error) storageProblem("the browser's storage failed: " + error);
        resolve(!error);
      });
    } catch (error) {
      storageProblem("the browser's storage failed: " + error);
      resolve(false);
    }
  });
}

Module.syncStorage = () => {
  storageSyncs = storageSyncs.then(() => syncStorage(false));
  return storageSyncs;
};

Module.startProgram = (name) => {
  Module.programStarted = true;
  storageSyncs.then(() => location.assign(location.pathname + (PROGRAMS[name] || "")));
};

function placeProgram() {
  FS.mkdirTree("/usr/bin");
  FS.writeFile("/usr/bin/vark", "");
  FS.symlink("/usr/bin/vark", "/proc/self/exe");
}

function loadStorage() {
  FS.mount(IDBFS, {}, HOME);
  addRunDependency("storage");
  syncStorage(true).then(() => removeRunDependency("storage"));
}

function wakeOnInput() {
  setTimeout(() => {
    if (Module.wakeOnInput) Module.wakeOnInput();
  }, 0);
}

for (const type of ["keydown", "keyup", "keypress", "mousedown", "mouseup", "mousemove", "wheel", "touchstart",
  "touchmove", "touchend", "focus", "blur", "resize", "visibilitychange", "fullscreenchange", "gamepadconnected",
  "gamepaddisconnected"])
  window.addEventListener(type, wakeOnInput, true);

Module.preRun = [].concat(Module.preRun || [], [placeProgram, loadStorage]);
