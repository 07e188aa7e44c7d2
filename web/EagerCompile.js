//# allFunctionsCalledOnLoad
// Above, for the loader this file heads: the browser compiles its functions
// as the script loads, so the first picture does not wait on them.
