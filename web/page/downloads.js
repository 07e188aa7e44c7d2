// The picture saved as the exporter saves it: a PNG of the whole image,
// or the core's SVG byte for byte.
import {binding} from './core.js';
import {loaded} from './loading.js';
import {say, text} from './texts.js';

function offerDownload(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

export function downloadPng() {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  const width = core._ZimbelImageWidth();
  const height = core._ZimbelImageHeight();
  if (width < 1 || height < 1) return say(text('noPicture'));
  const image = document.createElement('canvas');
  image.width = width;
  image.height = height;
  const imageContext = image.getContext('2d');
  if (!imageContext) return say(text('tooLarge'));
  core.zimbelContext = imageContext;
  core._ZimbelPaintImage();
  image.toBlob((blob) => {
    if (!blob) return say(text('tooLarge'));
    say('');
    offerDownload(blob, loaded.name + '.png');
  }, 'image/png');
}

// The SVG leaves the core as bytes, so the download is exactly what the
// exporter writes.
export function downloadSvg() {
  const {core} = binding;
  if (!core) return say(text('notReady'));
  const pointer = core._ZimbelSvg();
  const bytes = core.HEAPU8.slice(pointer, core.HEAPU8.indexOf(0, pointer));
  core._free(pointer);
  if (bytes.length < 1) return say(text('noPicture'));
  say('');
  offerDownload(new Blob([bytes], {type: 'image/svg+xml'}), loaded.name + '.svg');
}
