// The line-style list: a drop-down whose items are the window's pictures of
// each style, built from the core's samples, and read out by their labels.
import {binding} from './core.js';
import {choiceLabel, setValue} from './panel.js';

const styleList = {setting: null, button: null, list: null, chosen: 0, highlighted: 0};

export const isStyleList = (control) => control.getAttribute('aria-haspopup') === 'listbox';

function sampleSvg(runs) {
  const rects = runs.map(([a, b]) => `<rect x="${a}" y="7" width="${b - a + 1}" height="2"/>`).join('');
  return `<svg width="64" height="16" viewBox="0 0 64 16" aria-hidden="true">${rects}</svg>`;
}

// The style the core holds (when given) and the labels of the language shown.
export function showLineStyle(setting, chosen = styleList.chosen) {
  const {button, list} = styleList;
  styleList.chosen = chosen;
  button.innerHTML = sampleSvg(binding.table.lineSamples[chosen]) + '<span class="hidden-label"></span>';
  button.dataset.value = String(chosen);
  button.lastChild.textContent = choiceLabel(setting, chosen);
  list.querySelectorAll('li').forEach((item, i) => {
    item.setAttribute('aria-selected', String(i === chosen));
    item.setAttribute('aria-label', choiceLabel(setting, i));
  });
}

function choose(index) {
  const {setting, chosen} = styleList;
  if (index < 0 || index >= binding.table.lineSamples.length) return;
  if (index !== chosen) {
    styleList.chosen = index;
    setValue(setting, index);
  }
  showLineStyle(setting);
}

function open(visible) {
  const {button, list} = styleList;
  list.hidden = !visible;
  button.setAttribute('aria-expanded', String(visible));
  if (visible) {
    list.setAttribute('aria-activedescendant', 'style-' + styleList.chosen);
    list.focus();
  }
}

function chooseAndClose(index) {
  choose(index);
  open(false);
  styleList.button.focus();
}

function buildItems() {
  binding.table.lineSamples.forEach((runs, i) => {
    const item = document.createElement('li');
    item.id = 'style-' + i;
    item.setAttribute('role', 'option');
    item.innerHTML = sampleSvg(runs);
    item.addEventListener('mousedown', (event) => event.preventDefault());
    item.addEventListener('click', () => chooseAndClose(i));
    styleList.list.appendChild(item);
  });
}

function onListKey(event) {
  const {list} = styleList;
  if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
    event.preventDefault();
    styleList.highlighted = Math.min(Math.max(styleList.highlighted + (event.key === 'ArrowDown' ? 1 : -1), 0),
      list.children.length - 1);
    list.setAttribute('aria-activedescendant', 'style-' + styleList.highlighted);
    list.querySelectorAll('li').forEach((item, i) => item.classList.toggle('active', i === styleList.highlighted));
  } else if (event.key === 'Enter' || event.key === ' ') {
    event.preventDefault();
    chooseAndClose(styleList.highlighted);
  } else if (event.key === 'Escape' || event.key === 'Tab') {
    open(false);
    if (event.key === 'Escape') styleList.button.focus();
  }
}

export function bindStyleList(setting, button) {
  const list = button.parentElement.querySelector('[role="listbox"]');
  Object.assign(styleList, {setting, button, list});
  buildItems();
  // Arrow keys change a closed list at once, as a drop-down list does.
  button.addEventListener('keydown', (event) => {
    if (event.key === 'ArrowDown' && event.altKey) {
      event.preventDefault();
      open(true);
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      choose(styleList.chosen + (event.key === 'ArrowDown' ? 1 : -1));
    }
  });
  button.addEventListener('click', () => open(list.hidden));
  list.addEventListener('focus', () => { styleList.highlighted = styleList.chosen; });
  list.addEventListener('keydown', onListKey);
  list.addEventListener('blur', () => open(false));
}
