// Links: the graph carried in a page address, and where the page's host
// draws pictures from links, the picture's own address.
import {binding, taken, withCString} from './core.js';
import {showCoreSettings, showTool} from './panel.js';
import {paintMoved} from './painting.js';
import {showNewValues} from './readers.js';
import {$, say, text} from './texts.js';

const pageAddress = () => location.href.split('#')[0];

// The graph travels in the fragment, which the browser never sends to a
// server. Where the clipboard is refused, the address bar holds the link.
export function copyLink() {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  const link = pageAddress() + '#' + taken(core._ZimbelLink());
  navigator.clipboard.writeText(link).then(() => say(text('linkCopied')), () => {
    history.replaceState(null, '', link);
    say(text('linkInAddress'));
  });
}

// Where zimbelplot-serve hosts the page, the same link also names the
// graph's picture: any web page, README or mail can show it.
export function copyImageLink(extension) {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  if (core._ZimbelImageWidth() < 1 || core._ZimbelImageHeight() < 1) return say(text('noPicture'));
  const address = new URL(taken(core._ZimbelLink()) + extension, location.href).href;
  navigator.clipboard.writeText(address).then(() => say(text('imageLinkCopied')),
    () => say(text('imageLinkIs').replace('%s', address)));
}

// Only zimbelplot-serve draws pictures from links, and it names itself in
// every answer by the name the core gives it; a static host, or the
// one-file page from disk, gets no image links to offer. The question is
// asked at once, while the core is still loading.
export function offerImageLinks(coreReady) {
  // Offline no picture can come from anywhere, and the question itself
  // would fail loudly.
  if ((location.protocol !== 'http:' && location.protocol !== 'https:') || !navigator.onLine) return;
  const answer = fetch(pageAddress(), {method: 'HEAD', cache: 'no-store'});
  Promise.all([answer, coreReady]).then(([response, core]) => {
    const product = taken(core._ZimbelServerProduct()) + '/';
    if (!(response.headers.get('Server') || '').startsWith(product)) return;
    $('cmd-png-link').hidden = false;
    $('cmd-svg-link').hidden = false;
  }, () => {});
}

export function openLink() {
  const {core} = binding;
  const fragment = location.hash.slice(1);
  if (!core || !fragment) return;
  if (!withCString(fragment, (pointer) => core._ZimbelOpenLink(pointer))) return say(text('badLink'));
  say('');
  showCoreSettings();
  $('hint').hidden = true;
  showNewValues();
  showTool(true);
  $('view').scrollTo(0, 0);
  paintMoved();
}
