// The page's words in its two languages. The markup's texts are its
// Japanese with their English beside them (data-en), so a control added to
// the markup brings its own; here are only the texts the script writes.
const kTexts = {
  switchTo: ['English', '日本語'], toolTitle: ['ツール', 'Tool'],
  readout: ['点 %n: %v', 'Point %n: %v'],
  unreadable: ['ファイル「%s」を読めませんでした。グラフはそのままです。', 'The file "%s" could not be read; the graph is unchanged.'],
  noPicture: ['保存する画像がありません(幅か高さが 0 です)。', 'There is no picture to save (its width or height is 0).'],
  tooLarge: ['この画像はブラウザーで PNG にするには大きすぎます。', 'This picture is too large for the browser to make a PNG of.'],
  notReady: ['まだ読み込み中です。', 'The page is still loading.'],
  linkCopied: ['このグラフのリンクをコピーしました。', 'The link to this graph has been copied.'],
  linkInAddress: ['このグラフのリンクをアドレス欄に入れました。', 'The link to this graph is now in the address bar.'],
  imageLinkCopied: ['このグラフの画像のリンクをコピーしました。', 'The image link of this graph has been copied.'],
  shareLinkCopied: ['共有リンクをコピーしました。開くと値がサーバーに送られます。',
    'The share link has been copied; opening it sends the values to the server.'],
  snippetCopied: ['このグラフを貼り込むコードをコピーしました。', 'The code that puts this graph on a page has been copied.'],
  copyByHand: ['コピーできませんでした: %s', 'Could not copy: %s'],
  badLink: ['リンクが壊れているため開けませんでした。グラフはそのままです。',
    'The link is damaged and could not be opened; the graph is unchanged.'],
};

// 0 Japanese, 1 English: the index into every pair of texts and labels.
export const language = {
  index: navigator.language && navigator.language.toLowerCase().startsWith('ja') ? 0 : 1,
};

export const text = (key) => kTexts[key][language.index];

export const $ = (id) => document.getElementById(id);

export function say(message) {
  $('message').textContent = message;
}

// The markup's Japanese is kept at the first switch, so either language can
// be shown again.
export function showMarkupTexts() {
  const english = language.index === 1;
  document.documentElement.lang = english ? 'en' : 'ja';
  for (const element of document.querySelectorAll('[data-en]')) {
    if (element.dataset.ja === undefined) element.dataset.ja = element.textContent;
    element.textContent = english ? element.dataset.en : element.dataset.ja;
  }
  const switcher = $('cmd-language');
  switcher.textContent = text('switchTo');
  switcher.lang = english ? 'ja' : 'en';
  $('tool').setAttribute('aria-label', text('toolTitle'));
}
