// The panel's edits: typed texts, the spins beside the integer ones and the
// size sliders, as the dialog's edits, spins and trackbars behave.
import {binding, row, sendFieldText, taken} from './core.js';
import {paintNow} from './painting.js';
import {$} from './texts.js';

export const editOf = (id) => $('e' + id);
const sliderOf = (id) => row(id).slider && $('s' + row(id).slider);
const isField = (setting) => setting.kind === 'integer' || setting.kind === 'number';
export const fieldRows = () => binding.table.settings.filter(isField);

function setFieldText(id, value) {
  sendFieldText(id, value);
  paintNow();
}

function setSlider(id, value) {
  const {sliderMin, sliderMax} = binding.table;
  sliderOf(id).value = String(Math.min(Math.max(value, sliderMin), sliderMax));
}

// As the window's load moves the width's spin and slider.
export function showWrittenField(id, value) {
  const edit = editOf(id);
  if (edit) edit.value = value;
  if (binding.table && sliderOf(id)) setSlider(id, parseInt(value, 10) || 0);
}

// The edits hold the texts, as the dialog's do: the dialog's first texts,
// or after a link each setting's exact text.
export function showFields(start) {
  for (const setting of fieldRows()) {
    const edit = editOf(setting.id);
    edit.value = start ? setting.start : taken(binding.core._ZimbelFieldText(setting.id));
    if (setting.slider) setSlider(setting.id, parseInt(edit.value, 10) || 0);
  }
}

// Digits only and no more of them than the window's number fields take.
function onEditInput(setting, edit) {
  if (setting.kind === 'integer') {
    const digits = edit.value.replace(/[^0-9]/g, '').slice(0, binding.table.fieldDigits);
    if (digits !== edit.value) edit.value = digits;
  }
  setFieldText(setting.id, edit.value);
  if (setting.slider && document.activeElement === edit) setSlider(setting.id, parseInt(edit.value, 10) || 0);
}

// One step of the spin beside an integer field, within the spin's range;
// the size sliders first show where the spin was, as the window's do.
function spinStep(setting, edit, delta) {
  const before = Math.min(Math.max(parseInt(edit.value, 10) || 0, setting.lower), setting.upper);
  const after = Math.min(Math.max(before + delta, setting.lower), setting.upper);
  if (setting.slider) setSlider(setting.id, before);
  if (String(after) === edit.value) return;
  edit.value = String(after);
  onEditInput(setting, edit);
}

// A position is rounded to the size it gives and handed to the field.
function onSliderMoved(id, position) {
  const snapped = binding.core._ZimbelSliderSize(position);
  setSlider(id, snapped);
  editOf(id).value = String(snapped);
  setFieldText(id, String(snapped));
}

function onSliderKey(id, event) {
  const position = Number(sliderOf(id).value);
  const {sizeStep, sliderPage, sliderMin, sliderMax} = binding.table;
  const moves = {
    ArrowRight: position + sizeStep, ArrowUp: position + sizeStep,
    ArrowLeft: position - sizeStep, ArrowDown: position - sizeStep,
    PageUp: position + sliderPage, PageDown: position - sliderPage, Home: sliderMin, End: sliderMax,
  };
  if (!(event.key in moves)) return;
  event.preventDefault();
  onSliderMoved(id, Math.min(Math.max(moves[event.key], sliderMin), sliderMax));
}

function bindSpin(setting, edit) {
  edit.inputMode = 'numeric';
  edit.maxLength = binding.table.fieldDigits;
  edit.addEventListener('keydown', (event) => {
    if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
      event.preventDefault();
      spinStep(setting, edit, event.key === 'ArrowUp' ? 1 : -1);
    }
  });
  // A spin's arrows do not take the focus, so the field's slider rule sees
  // the focus where it was.
  for (const arrow of edit.parentElement.querySelectorAll('.arrows button')) {
    arrow.addEventListener('mousedown', (event) => event.preventDefault());
    arrow.addEventListener('click', () => spinStep(setting, edit, Number(arrow.dataset.step)));
  }
}

function bindSlider(setting) {
  const slider = sliderOf(setting.id);
  slider.min = String(binding.table.sliderMin);
  slider.max = String(binding.table.sliderMax);
  slider.addEventListener('input', () => onSliderMoved(setting.id, Number(slider.value)));
  slider.addEventListener('keydown', (event) => onSliderKey(setting.id, event));
}

// Each field of the table on its edit, with the spin and slider its row has.
export function bindFields() {
  for (const setting of fieldRows()) {
    const edit = editOf(setting.id);
    edit.type = 'text';
    edit.autocomplete = 'off';
    edit.spellcheck = false;
    if (setting.kind === 'integer') bindSpin(setting, edit);
    else edit.maxLength = binding.table.textLength;
    if (setting.slider) bindSlider(setting);
    edit.addEventListener('input', () => onEditInput(setting, edit));
  }
}
