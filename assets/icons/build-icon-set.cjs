// Build step: copies the icon of every mapped symbol name (symbols.tsv) from the installed Phosphor
// package into OUT/icons/NAME.svg, and writes OUT/visuals/symbol_search.json, the search index: each
// symbol name with the catalog tags of its icon.
//
//   node build-icon-set.cjs SYMBOLS_TSV NODE_MODULES OUT
'use strict';
const fs = require('fs');
const path = require('path');

const [mappingFile, nodeModules, out] = process.argv.slice(2);
if (!out) {
    console.error('usage: node build-icon-set.cjs SYMBOLS_TSV NODE_MODULES OUT');
    process.exit(2);
}
const packageDir = path.join(nodeModules, '@phosphor-icons', 'core');
const catalog = new Map(require(packageDir).icons.map((icon) => [icon.name, icon.tags]));

fs.mkdirSync(path.join(out, 'icons'), { recursive: true });
fs.mkdirSync(path.join(out, 'visuals'), { recursive: true });
const mapped = [];
for (const line of fs.readFileSync(mappingFile, 'utf8').split('\n')) {
    if (!line.trim() || line.startsWith('#')) continue;
    const [name, icon] = line.split('\t').map((field) => field.trim());
    if (icon === '-') continue;  // left out on purpose: no fitting icon
    const svg = path.join(packageDir, 'assets', 'fill', `${icon}-fill.svg`);
    if (!catalog.has(icon) || !fs.existsSync(svg)) {
        console.error(`build-icon-set: no Phosphor icon "${icon}" for ${name}`);
        process.exit(1);
    }
    fs.copyFileSync(svg, path.join(out, 'icons', `${name}.svg`));
    mapped.push([name, icon]);
}

// "*new*" and "*updated*" mark catalog changes, not search terms. A tag that three or more of the
// mapped icons share ("vehicles", "automobile" on car, bus and truck) says little about any one of
// them and is left to the word embedding.
const iconsWithTag = new Map();
for (const icon of new Set(mapped.map(([, icon]) => icon)))
    for (const tag of catalog.get(icon)) iconsWithTag.set(tag, (iconsWithTag.get(tag) || 0) + 1);
const index = {};
for (const [name, icon] of mapped)
    index[name] = catalog.get(icon).filter((tag) => !tag.startsWith('*') && iconsWithTag.get(tag) < 3);
fs.writeFileSync(path.join(out, 'visuals', 'symbol_search.json'), JSON.stringify(index));
