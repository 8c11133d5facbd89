#pragma once

// How a run of the recognition reads a document.
struct RecognitionOptions
{
    // Besides the block markup and the standard heading words, find the headings a reader sees in
    // the plain text: articles of any act, parts, sections and chapters standing alone, numbered
    // headings of rules, appendix captions without blocks and the kind in any title. Off by default:
    // off, every document comes out exactly as the standard passes make it.
    bool extended = false;
};
