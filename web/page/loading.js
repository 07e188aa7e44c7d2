// The roads by which a file's bytes reach the core's reader.
import {binding} from './core.js';
import {paintNow} from './painting.js';
import {showNewValues} from './readers.js';
import {$, say, text} from './texts.js';

const kChunkBytes = 1 << 16;

// The file's name names the downloads; loads wait their turn in `queue`.
export const loaded = {name: 'zimbelplot', queue: Promise.resolve()};

// The core's reader takes the file slice by slice and says when it has
// all it reads, so a huge file is read only that far. A slice that cannot
// be read throws before the load is ended: the graph stays as it was.
// Pasted text comes as bytes: a Blob's slices would each wait on the
// browser's storage of it, a millisecond or two before the first picture.
async function feedData(data) {
  const {core} = binding;
  const pointer = core._malloc(kChunkBytes);
  const reader = core._ZimbelLoadBegin();
  const bytes = data instanceof Uint8Array;
  let complete = 0;
  try {
    let more = true;
    for (let offset = 0; more && offset < (bytes ? data.length : data.size); offset += kChunkBytes) {
      const slice = bytes ? data.subarray(offset, offset + kChunkBytes)
        : new Uint8Array(await data.slice(offset, offset + kChunkBytes).arrayBuffer());
      core.HEAPU8.set(slice, pointer);
      more = core._ZimbelLoadMore(reader, pointer, slice.length) === 1;
    }
    complete = 1;
  } finally {
    core._free(pointer);
    core._ZimbelLoadEnd(reader, complete);
  }
}

// Loads run one after another, so a slow huge file cannot land after a
// file chosen later; a load that fails outright must not stop the ones
// after it.
export function loadData(data, name) {
  loaded.queue = loaded.queue.then(async () => {
    if (!binding.core) {
      say(text('notReady'));
      return;
    }
    try {
      await feedData(data);
    } catch (error) {
      say(text('unreadable').replace('%s', name));
      return;
    }
    say('');
    loaded.name = name.replace(/\.[^.]*$/, '') || 'zimbelplot';
    $('hint').hidden = true;
    paintNow();
    showNewValues();
  }).catch((error) => say(text('unreadable').replace('%s', name) + ' ' + error));
  return loaded.queue;
}
