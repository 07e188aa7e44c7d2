// Links: the graph carried in a page address, and where the page's host
// draws pictures from links, the picture's own address, the page at the
// link's own address and snippets that put the picture on a page.
import {binding, taken, withCString} from './core.js';
import {showCoreSettings, showTool} from './panel.js';
import {paintMoved} from './painting.js';
import {showNewValues} from './readers.js';
import {$, say, text} from './texts.js';

// Where zimbelplot-serve hosts the page: the address its pictures and
// pages are under.
const serverAddress = () => new URL('./', location.href).href;
// Opened at a link's own address, the page's address is the folder that
// address is in, where the page itself is.
const place = {atLink: false};
const pageAddress = () => (place.atLink ? serverAddress() : location.href.split('#')[0]);

// What a copy could not put on the clipboard is shown, to be copied by
// hand.
function copyText(copied, value) {
  navigator.clipboard.writeText(value).then(() => say(text(copied)), () => say(text('copyByHand').replace('%s', value)));
}

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

// The page at the link's own address: what a chat shows a preview of,
// since the server reads the graph from the path.
export function copyShareLink() {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  copyText('shareLinkCopied', serverAddress() + taken(core._ZimbelLink()));
}

// Where zimbelplot-serve hosts the page, the same link also names the
// graph's picture: any web page, README or mail can show it.
export function copyImageLink(extension) {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  if (core._ZimbelImageWidth() < 1 || core._ZimbelImageHeight() < 1) return say(text('noPicture'));
  copyText('imageLinkCopied', serverAddress() + taken(core._ZimbelLink()) + extension);
}

// The snippet zimbelplot-export --format markdown or html prints for the
// graph and this server.
export function copySnippet(html) {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  if (core._ZimbelImageWidth() < 1 || core._ZimbelImageHeight() < 1) return say(text('noPicture'));
  copyText('snippetCopied', withCString(serverAddress(), (server) => taken(core._ZimbelSnippet(html, server))));
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
    for (const item of document.querySelectorAll('.served')) item.hidden = false;
  }, () => {});
}

function showLink(link) {
  const {core} = binding;
  if (!withCString(link, (pointer) => core._ZimbelOpenLink(pointer))) return false;
  say('');
  showCoreSettings();
  $('hint').hidden = true;
  showNewValues();
  showTool(true);
  $('view').scrollTo(0, 0);
  paintMoved();
  return true;
}

export function openLink() {
  const fragment = location.hash.slice(1);
  if (binding.core && fragment && !showLink(fragment)) say(text('badLink'));
}

// At start: the graph of a link's own address, which only a server that
// found the link whole answers with the page (elsewhere the path is the
// page's own name, and opens nothing), then the fragment's.
export function openAddress() {
  const name = location.pathname.slice(location.pathname.lastIndexOf('/') + 1);
  let link = '';
  try {
    link = decodeURIComponent(name);
  } catch {}
  place.atLink = link !== '' && showLink(link);
  openLink();
}
