// Build step: writes the emoji keyword file from Unicode CLDR's English annotations, keeping only
// what a lyric word can match and what the overlay can draw:
//   - emoji (a pictographic character in the sequence) that the colour emoji font draws as one
//     picture: every code point in its character map and, for a sequence, a ligature of the font
//     that joins exactly those glyphs (the font ignores U+FE0F, so it is left out of the check);
//   - single-word keywords and names of 3 or more lower-case ASCII letters (shorter words never get
//     a picture, and as an embedding's neighbours they are noise: "th") that WordNet knows as a word
//     or as a regular or listed inflection of one, which leaves out pronouns and other function words.
// One line per emoji, in annotation order: EMOJI <TAB> name <TAB> keywords separated by spaces.
// A pictographic character whose default presentation is text gets U+FE0F after it, as in the
// emoji's fully qualified form, so that it shows in colour in a terminal too.
//
//   node build-emoji-keywords.cjs ANNOTATIONS_JSON FONT WORDNET_DIR OUT
'use strict';
const fs = require('fs');
const path = require('path');

const [annotationsFile, fontFile, wordnetDir, out, extraFile] = process.argv.slice(2);
if (!out) {
    console.error('usage: node build-emoji-keywords.cjs ANNOTATIONS_JSON FONT WORDNET_DIR OUT');
    process.exit(2);
}

// --- The font: character map (format 12 or 4) and the ligatures of its substitution table.
function readFont(file) {
    const font = fs.readFileSync(file);
    const tables = new Map();
    for (let i = 0, count = font.readUInt16BE(4); i < count; ++i) {
        const record = 12 + 16 * i;
        tables.set(font.toString('latin1', record, record + 4), font.readUInt32BE(record + 8));
    }
    if (!tables.has('cmap')) throw new Error(`${file}: no character map`);
    return { glyphOf: readCharacterMap(font, tables.get('cmap')), ligatures: readLigatures(font, tables.get('GSUB')) };
}

function readCharacterMap(font, cmap) {
    const glyphs = new Map();
    const subtables = [];
    for (let i = 0, count = font.readUInt16BE(cmap + 2); i < count; ++i)
        subtables.push(cmap + font.readUInt32BE(cmap + 4 + 8 * i + 4));
    for (const table of subtables) {
        const format = font.readUInt16BE(table);
        if (format === 12) {
            for (let g = 0, groups = font.readUInt32BE(table + 12); g < groups; ++g) {
                const at = table + 16 + 12 * g;
                const first = font.readUInt32BE(at), last = font.readUInt32BE(at + 4), glyph = font.readUInt32BE(at + 8);
                for (let c = first; c <= last; ++c) glyphs.set(c, glyph + c - first);
            }
        } else if (format === 4) {
            const segments = font.readUInt16BE(table + 6) / 2;
            const ends = table + 14, starts = ends + 2 * segments + 2;
            const deltas = starts + 2 * segments, rangeOffsets = deltas + 2 * segments;
            for (let s = 0; s < segments; ++s) {
                const end = font.readUInt16BE(ends + 2 * s), start = font.readUInt16BE(starts + 2 * s);
                const delta = font.readInt16BE(deltas + 2 * s), rangeOffset = font.readUInt16BE(rangeOffsets + 2 * s);
                for (let c = start; c <= end && c !== 0xffff; ++c) {
                    let glyph = 0;
                    if (rangeOffset === 0) glyph = (c + delta) & 0xffff;
                    else {
                        const raw = font.readUInt16BE(rangeOffsets + 2 * s + rangeOffset + 2 * (c - start));
                        glyph = raw === 0 ? 0 : (raw + delta) & 0xffff;
                    }
                    if (glyph !== 0 && !glyphs.has(c)) glyphs.set(c, glyph);
                }
            }
        }
    }
    return glyphs;
}

function coverageGlyphs(font, at) {
    const glyphs = [];
    if (font.readUInt16BE(at) === 1) {
        for (let i = 0, n = font.readUInt16BE(at + 2); i < n; ++i) glyphs.push(font.readUInt16BE(at + 4 + 2 * i));
    } else {
        for (let r = 0, n = font.readUInt16BE(at + 2); r < n; ++r) {
            const range = at + 4 + 6 * r;
            for (let g = font.readUInt16BE(range); g <= font.readUInt16BE(range + 2); ++g) glyphs.push(g);
        }
    }
    return glyphs;
}

// Set of "first,second,..." glyph lists that some ligature substitution joins into one glyph.
function readLigatures(font, gsub) {
    const ligatures = new Set();
    if (gsub === undefined) return ligatures;
    const lookupList = gsub + font.readUInt16BE(gsub + 8);
    for (let l = 0, lookups = font.readUInt16BE(lookupList); l < lookups; ++l) {
        const lookup = lookupList + font.readUInt16BE(lookupList + 2 + 2 * l);
        const lookupType = font.readUInt16BE(lookup);
        for (let s = 0, count = font.readUInt16BE(lookup + 4); s < count; ++s) {
            let subtable = lookup + font.readUInt16BE(lookup + 6 + 2 * s);
            let type = lookupType;
            if (type === 7) {  // extension: the real subtable lies further on
                type = font.readUInt16BE(subtable + 2);
                subtable += font.readUInt32BE(subtable + 4);
            }
            if (type !== 4) continue;
            const firsts = coverageGlyphs(font, subtable + font.readUInt16BE(subtable + 2));
            firsts.forEach((first, i) => {
                const set = subtable + font.readUInt16BE(subtable + 6 + 2 * i);
                for (let k = 0, n = font.readUInt16BE(set); k < n; ++k) {
                    const ligature = set + font.readUInt16BE(set + 2 + 2 * k);
                    const components = [first];
                    for (let c = 1, m = font.readUInt16BE(ligature + 2); c < m; ++c)
                        components.push(font.readUInt16BE(ligature + 4 + 2 * (c - 1)));
                    ligatures.add(components.join(','));
                }
            });
        }
    }
    return ligatures;
}

function isDrawable(font, emoji) {
    const codePoints = [...emoji].map((c) => c.codePointAt(0)).filter((c) => c !== 0xfe0f);
    if (!codePoints.some((c) => /\p{Extended_Pictographic}/u.test(String.fromCodePoint(c)))) return false;
    const glyphs = codePoints.map((c) => font.glyphOf.get(c));
    if (glyphs.some((g) => !g)) return false;
    return glyphs.length === 1 || font.ligatures.has(glyphs.join(','));
}

function withEmojiPresentation(emoji) {
    const chars = [...emoji];
    return chars.map((c, i) => {
        const next = chars[i + 1] || '';
        const needsSelector = /\p{Extended_Pictographic}/u.test(c) && !/\p{Emoji_Presentation}/u.test(c)
            && next !== '\ufe0f' && !/\p{Emoji_Modifier}/u.test(next);
        return needsSelector ? c + '\ufe0f' : c;
    }).join('');
}

// --- WordNet: its lemmas, its listed irregular forms, and the regular endings of English.
function readWordNet(dir) {
    const lemmas = new Set();
    const exceptions = new Set();
    for (const pos of ['noun', 'verb', 'adj', 'adv']) {
        for (const line of fs.readFileSync(path.join(dir, `index.${pos}`), 'latin1').split('\n'))
            if (line && !line.startsWith(' ')) lemmas.add(line.slice(0, line.indexOf(' ')));
        for (const line of fs.readFileSync(path.join(dir, `${pos}.exc`), 'latin1').split('\n'))
            if (line) exceptions.add(line.slice(0, line.indexOf(' ')));
    }
    const endings = [['s', ''], ['ses', 's'], ['xes', 'x'], ['zes', 'z'], ['ches', 'ch'], ['shes', 'sh'],
        ['men', 'man'], ['ies', 'y'], ['es', 'e'], ['es', ''], ['ed', 'e'], ['ed', ''], ['ing', 'e'],
        ['ing', ''], ['er', ''], ['est', ''], ['er', 'e'], ['est', 'e']];
    return (word) => {
        if (lemmas.has(word) || exceptions.has(word)) return true;
        for (const [ending, base] of endings) {
            if (!word.endsWith(ending)) continue;
            const stem = word.slice(0, word.length - ending.length) + base;
            if (lemmas.has(stem)) return true;
            const doubled = stem.length >= 3 && stem.at(-1) === stem.at(-2);  // "running", "stopped"
            if (base === '' && doubled && lemmas.has(stem.slice(0, -1))) return true;
        }
        return false;
    };
}

const font = readFont(fontFile);
const isWord = readWordNet(wordnetDir);
const annotations = JSON.parse(fs.readFileSync(annotationsFile, 'utf8')).annotations.annotations;
const extra = new Map();
if (extraFile)
    for (const [emoji, keywords] of Object.entries(JSON.parse(fs.readFileSync(extraFile, 'utf8'))))
        extra.set(emoji.replace(/\ufe0f/g, ''), keywords);
const plainWord = /^[a-z]{3,}$/;
const lines = [];
for (const [emoji, annotation] of Object.entries(annotations)) {
    if (!annotation.tts || !isDrawable(font, emoji)) continue;
    const name = annotation.tts[0].toLowerCase();
    const keywords = [...new Set((annotation.default || []).concat(extra.get(emoji) || []).map((k) => k.toLowerCase()))]
        .filter((k) => plainWord.test(k) && isWord(k));
    const nameWord = plainWord.test(name) && isWord(name);
    if (keywords.length === 0 && !nameWord) continue;
    lines.push(`${withEmojiPresentation(emoji)}\t${name}\t${keywords.join(' ')}`);
}
fs.mkdirSync(path.dirname(out), { recursive: true });
fs.writeFileSync(out, lines.join('\n') + '\n');
