// The page's side of the program: the menu, the tool panel, the scrolled
// graph area and the roads by which a file arrives, one module each; this
// one starts them. Every setting lives in the core; the page only passes
// texts and values in and paints.
import {binding} from './core.js';
import {showWrittenField} from './fields.js';
import {offerImageLinks, openAddress, openLink} from './links.js';
import {wireDropAndPaste, wireMenu} from './menu.js';
import {keepOnceQuiet, noteActivity} from './offline.js';
import {followView, paintNow} from './painting.js';
import {offerWhatTheDialogOffers, showChoiceLabels, showCoreSettings, showTool, wireToolClose} from './panel.js';
import {describeGraph, showReadout, wireReaders} from './readers.js';
import {$, language, say, showMarkupTexts} from './texts.js';

function applyLanguage() {
  showMarkupTexts();
  showChoiceLabels();
  describeGraph();
  showReadout();
}

function start(core) {
  binding.core = core;
  describeGraph();
  offerWhatTheDialogOffers();
  showCoreSettings(true);
  followView();
  window.addEventListener('hashchange', openLink);
  openAddress();
  document.body.dataset.ready = 'true';
  paintNow();
  keepOnceQuiet();
}

wireMenu();
wireToolClose();
wireReaders();
wireDropAndPaste();
noteActivity();
$('cmd-language').addEventListener('click', () => {
  language.index = 1 - language.index;
  applyLanguage();
});
applyLanguage();
showTool(false);

const coreReady = new Promise((resolve, reject) => {
  window.addEventListener('load', () => {
    if (typeof createZimbelplot !== 'function') return reject('zimbelplot.js is missing.');
    createZimbelplot({
      onFieldWritten: showWrittenField,
      onShowTool() {
        showTool(true);
      },
    }).then(resolve, reject);
  });
});
offerImageLinks(coreReady);
coreReady.then(start, (error) => say(String(error)));
