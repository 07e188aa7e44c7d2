// The tool panel, built from the core's table as the dialog is from its
// template: each row's control is found by its kind's prefix and id (e
// edit, s slider, l list, k box, c colour); what a control offers and what
// setting it does to the others come from its row.
import {binding, taken, withCString} from './core.js';
import {bindFields, editOf, showFields} from './fields.js';
import {paintNow, schedulePaint} from './painting.js';
import {bindStyleList, isStyleList, showLineStyle} from './style-list.js';
import {$, language} from './texts.js';

const kPrefixes = {choice: 'l', flag: 'k', color: 'c'};
export const controlOf = (setting) => $(kPrefixes[setting.kind] + setting.id);
const controlRows = () => binding.table.settings.filter((setting) => setting.kind in kPrefixes);

export const choiceLabel = (setting, index) => setting.labels[index][language.index];

// A box that locks a field makes it read-only while on, as in the window.
function showLocks() {
  for (const setting of controlRows()) {
    if (setting.locks) editOf(setting.locks).disabled = controlOf(setting).checked;
  }
}

function showControl(setting) {
  const {core} = binding;
  const control = controlOf(setting);
  if (setting.kind === 'flag') control.checked = core._ZimbelValue(setting.id) !== 0;
  else if (setting.kind === 'color') control.value = taken(core._ZimbelColorText(setting.id));
  else if (isStyleList(control)) showLineStyle(setting, core._ZimbelValue(setting.id));
  else control.selectedIndex = core._ZimbelValue(setting.id);
}

// An after-effect may have changed other controls (a background picked
// ends transparency); a field it changes the core writes itself.
function afterSetting(setting) {
  if (setting.effect) {
    for (const other of controlRows()) if (other !== setting && other.kind !== 'color') showControl(other);
  }
  if (setting.locks) showLocks();
  paintNow();
}

export function setValue(setting, value) {
  binding.core._ZimbelSetValue(setting.id, value);
  afterSetting(setting);
}

function setColor(setting, hex) {
  withCString(hex, (pointer) => binding.core._ZimbelSetColorText(setting.id, pointer));
  afterSetting(setting);
}

function bindControl(setting) {
  const control = controlOf(setting);
  if (setting.kind === 'flag') {
    control.addEventListener('change', () => setValue(setting, control.checked ? 1 : 0));
  } else if (setting.kind === 'color') {
    control.addEventListener('input', () => setColor(setting, control.value));
    // Where picking a colour does more than colour, reaching for the
    // chooser picks the one it has, even when the chooser is then cancelled.
    if (setting.effect) control.addEventListener('click', () => setColor(setting, control.value));
  } else if (isStyleList(control)) {
    bindStyleList(setting, control);
  } else {
    for (const name of setting.choices) control.appendChild(document.createElement('option')).value = name;
    control.addEventListener('change', () => setValue(setting, control.selectedIndex));
  }
}

export function showChoiceLabels() {
  if (!binding.table) return;
  for (const setting of controlRows()) {
    if (setting.kind !== 'choice') continue;
    const control = controlOf(setting);
    if (isStyleList(control)) showLineStyle(setting);
    else [...control.options].forEach((option, i) => { option.textContent = choiceLabel(setting, i); });
  }
}

// The ranges, limits and lists of the panel, from the core's table.
export function offerWhatTheDialogOffers() {
  binding.table = JSON.parse(taken(binding.core._ZimbelSettings()));
  bindFields();
  for (const setting of controlRows()) bindControl(setting);
  showChoiceLabels();
}

export function showCoreSettings(start = false) {
  showFields(start);
  for (const setting of controlRows()) showControl(setting);
  showLocks();
}

// Each load shows the tool panel; only showing or hiding a panel moves the view.
// A panel shown takes its place at once, and its controls are shown in the
// next frame's work: the view's size needs only the panel's box, and
// restyling every control before the first picture took two milliseconds.
// Either way they appear in the frame that shows the picture.
export function showPanel(panel, item, visible) {
  const changed = panel.hidden === visible;
  if (changed && visible) {
    panel.style.visibility = 'hidden';
    requestAnimationFrame(() => panel.style.removeProperty('visibility'));
  }
  panel.hidden = !visible;
  item.setAttribute('aria-checked', String(visible));
  item.querySelector('.check').textContent = visible ? '✓' : '';
  if (changed) schedulePaint();
}

export const showTool = (visible) => showPanel($('tool'), $('cmd-tool'), visible);

export function wireToolClose() {
  $('tool-close').addEventListener('click', () => showTool(false));
}
