// The hosted page keeps itself for use offline; the one-file page, which
// has no manifest, has nothing to keep. Each visit asks for a new build,
// so the kept set is never a visit behind. The page works without it.
// Keeping starts a worker that fetches every file again, and it shares the
// processor with whatever the visitor does meanwhile: begun as the page
// became ready, it made a file pasted at once take one and a half to two
// times as long to draw; begun when idle after the first picture, it
// doubled the time of the first changes made to it. It begins once the
// visitor has left the page alone for two seconds.
// An event only notes its time; the wait, when it ends, looks again, and
// keeps once.
const kQuietMs = 2000;
const visitor = {lastActive: 0};

function keepForOffline() {
  if (!document.querySelector('link[rel="manifest"]') || !('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('sw.js').then((registration) => registration.update()).catch(() => {});
}

function keepWhenQuiet() {
  const wait = visitor.lastActive + kQuietMs - performance.now();
  if (wait > 0) setTimeout(keepWhenQuiet, wait);
  else keepForOffline();
}

export function noteActivity() {
  for (const type of ['input', 'keydown', 'pointerdown', 'pointermove', 'wheel', 'scroll', 'paste', 'drop']) {
    document.addEventListener(type, () => visitor.lastActive = performance.now(), {capture: true, passive: true});
  }
}

// From the page's start: the first wait is two seconds long.
export function keepOnceQuiet() {
  visitor.lastActive = performance.now();
  keepWhenQuiet();
}
