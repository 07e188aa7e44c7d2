// The menu bar's commands, and files dropped or pasted anywhere on the page.
import {binding, taken} from './core.js';
import {downloadPng, downloadSvg} from './downloads.js';
import {copyImageLink, copyLink, copyShareLink, copySnippet} from './links.js';
import {loadData} from './loading.js';
import {showTool} from './panel.js';
import {showValues, valuesShown} from './readers.js';
import {$} from './texts.js';

const menus = () => document.querySelectorAll('details.menu');

function closeMenus() {
  for (const menu of menus()) menu.open = false;
}

function showAbout() {
  $('about-text').textContent = binding.core ? taken(binding.core._ZimbelAboutText()) : 'zimbelplot';
  $('about').showModal();
}

// A new command is one entry here and one button in the markup.
const kCommands = {
  'cmd-open': () => $('file-input').click(),
  'cmd-png': downloadPng,
  'cmd-svg': downloadSvg,
  'cmd-link': copyLink,
  'cmd-png-link': () => copyImageLink('.png'),
  'cmd-svg-link': () => copyImageLink('.svg'),
  'cmd-share-link': copyShareLink,
  'cmd-markdown': () => copySnippet(0),
  'cmd-html': () => copySnippet(1),
  'cmd-tool': () => showTool($('tool').hidden),
  'cmd-values': () => showValues(!valuesShown()),
  'cmd-about': showAbout,
};

export function wireMenu() {
  for (const [id, run] of Object.entries(kCommands)) {
    $(id).addEventListener('click', () => {
      closeMenus();
      run();
    });
  }
  // One menu open at a time; Escape or a click elsewhere closes it.
  for (const menu of menus()) {
    menu.addEventListener('toggle', () => {
      if (!menu.open) return;
      for (const other of menus()) if (other !== menu) other.open = false;
    });
    menu.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && menu.open) {
        menu.open = false;
        menu.querySelector('summary').focus();
      }
    });
  }
  document.addEventListener('click', (event) => {
    if (!event.target.closest('details.menu')) closeMenus();
  });
  const fileInput = $('file-input');
  fileInput.addEventListener('change', () => {
    const file = fileInput.files[0];
    if (file) loadData(file, file.name);
    fileInput.value = '';
  });
}

export function wireDropAndPaste() {
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer.files[0];
    if (file) loadData(file, file.name);
  });
  // Pasted numbers load as a file holding that text would; a paste into a
  // field stays the field's.
  document.addEventListener('paste', (event) => {
    const target = event.target;
    if (target instanceof HTMLInputElement && target.type === 'text') return;
    const data = event.clipboardData;
    if (!data) return;
    event.preventDefault();
    const pasted = data.getData('text/plain');
    if (data.files.length > 0) {
      loadData(data.files[0], data.files[0].name);
    } else if (pasted) {
      loadData(new TextEncoder().encode(pasted), 'zimbelplot');
    }
  });
}
