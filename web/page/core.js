// The core as the page holds it: the module, the table of what the panel
// offers, and the heap's ways in and out. Every setting lives in the core;
// the page only passes texts and values in.
export const binding = {core: null, table: null, fieldBuffer: 0};

// Typing goes through one buffer, not an allocation a key. The core keeps
// no more than 255 bytes of a field, so a longer text loses nothing kept.
const kFieldBytes = 1024;
const encoder = new TextEncoder();

export function withCString(value, call) {
  const {core} = binding;
  const bytes = encoder.encode(value);
  const pointer = core._malloc(bytes.length + 1);
  core.HEAPU8.set(bytes, pointer);
  core.HEAPU8[pointer + bytes.length] = 0;
  try {
    return call(pointer);
  } finally {
    core._free(pointer);
  }
}

// Every string the core returns is ours to copy and free.
export function taken(pointer) {
  try {
    return binding.core.UTF8ToString(pointer);
  } finally {
    binding.core._free(pointer);
  }
}

export function sendFieldText(id, value) {
  const {core} = binding;
  binding.fieldBuffer = binding.fieldBuffer || core._malloc(kFieldBytes + 1);
  const start = binding.fieldBuffer;
  const {written} = encoder.encodeInto(value, core.HEAPU8.subarray(start, start + kFieldBytes));
  core.HEAPU8[start + written] = 0;
  core._ZimbelSetText(id, start);
}

// The table's row of a control.
export const row = (id) => binding.table.settings.find((setting) => setting.id === id);

export const valueText = (index) => taken(binding.core._ZimbelValueText(index));
