// What a reader who cannot see the picture, or wants its numbers, gets:
// the readout beside a point, the table of values and the text alternative.
import {binding, taken, valueText} from './core.js';
import {showPanel} from './panel.js';
import {$, language, text} from './texts.js';

const view = $('view');
const readout = $('readout');
const valuesPanel = $('values');
// The point the readout shows, -1 for none.
const pointed = {index: -1};

export function describeGraph() {
  const {core} = binding;
  $('canvas').setAttribute('aria-label', core ? taken(core._ZimbelGraphText(language.index)) : text('notReady'));
}

// Only an open table is filled: a load does not wait on 512 rows nobody sees.
function fillValues() {
  const {core} = binding;
  if (!core || valuesPanel.hidden) return;
  const rows = document.createDocumentFragment();
  for (let i = 0, count = core._ZimbelValueCount(); i < count; i++) {
    const row = rows.appendChild(document.createElement('tr'));
    const number = row.appendChild(document.createElement('th'));
    number.scope = 'row';
    number.textContent = String(i + 1);
    row.appendChild(document.createElement('td')).textContent = valueText(i);
  }
  $('value-rows').replaceChildren(rows);
}

export function showValues(visible) {
  showPanel(valuesPanel, $('cmd-values'), visible);
  fillValues();
}

export const valuesShown = () => !valuesPanel.hidden;

// Beside the point's marker, on the side of the view with more room; the
// picture is not touched.
export function showReadout() {
  const {core} = binding;
  if (pointed.index < 0) return;
  if (!core || pointed.index >= core._ZimbelValueCount()) {
    pointed.index = -1;
    readout.hidden = true;
    return;
  }
  const index = pointed.index;
  readout.textContent = text('readout').replace('%n', index + 1).replace('%v', valueText(index));
  const x = core._ZimbelPointX(index) - view.scrollLeft;
  const y = Math.min(Math.max(core._ZimbelPointY(index) - view.scrollTop, 0), view.clientHeight);
  const right = x > view.clientWidth / 2;
  readout.style.left = right ? '' : Math.max(x, 0) + 8 + 'px';
  readout.style.right = right ? Math.max(view.clientWidth - x, 0) + 8 + 'px' : '';
  readout.style.top = y > 32 ? y - 32 + 'px' : y + 8 + 'px';
  readout.hidden = false;
}

function point(index) {
  pointed.index = index;
  if (index < 0) readout.hidden = true;
  showReadout();
}

// Nearest by column, within the picture.
function pointAt(event) {
  const {core} = binding;
  if (!core) return;
  const box = view.getBoundingClientRect();
  const x = event.clientX - box.left - view.clientLeft + view.scrollLeft;
  const y = event.clientY - box.top - view.clientTop + view.scrollTop;
  const inside = x < core._ZimbelImageWidth() && y < core._ZimbelImageHeight();
  point(inside ? core._ZimbelNearestPoint(x) : -1);
}

// Left and right step from point to point, the view following; the first
// step starts at the edge of what is in view.
function onGraphKey(event) {
  const {core} = binding;
  if (!core || (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight')) return;
  const last = core._ZimbelNearestPoint(Infinity);
  if (last < 0) return;
  event.preventDefault();
  const step = event.key === 'ArrowRight' ? 1 : -1;
  const next = pointed.index >= 0 ? pointed.index + step
    : core._ZimbelNearestPoint(view.scrollLeft + (step > 0 ? 0 : view.clientWidth - 1));
  point(Math.min(Math.max(next, 0), last));
  const x = core._ZimbelPointX(pointed.index);
  if (x < view.scrollLeft || x >= view.scrollLeft + view.clientWidth) view.scrollLeft = x - view.clientWidth / 2;
}

// New values: the readout's point is gone; the text and the table follow.
export function showNewValues() {
  point(-1);
  describeGraph();
  fillValues();
}

export function wireReaders() {
  view.addEventListener('pointermove', pointAt);
  view.addEventListener('pointerdown', pointAt);
  view.addEventListener('pointerleave', () => document.activeElement === view || point(-1));
  view.addEventListener('keydown', onGraphKey);
  view.addEventListener('blur', () => point(-1));
  $('values-close').addEventListener('click', () => showValues(false));
}
